// Switching the organ on and off: the module reset in its fixed order, and
// SIGTERM (a desktop session ending) taking the normal way out.

#include <filesystem>
#include <thread>

#include "ConsoleOnJack.h"

namespace kalvant::e2e {
namespace {

using namespace std::chrono_literals;

const std::string kReset =
    "entry 100, entry 1, entry 0, entry 2, entry 3, entry 4, entry 5, "
    "entry 6, entry 7, entry 101, entry 102, entry 103";

TEST_F(JackE2E, StartUpResetsTheModuleInOrderWithPausesAfterTheResetAndTheSetUp) {
  const std::vector<Stamped> reset = start();
  ASSERT_EQ(describeAll(reset), kReset);
  // Lower ends only: JACK may deliver the first message after a pause a period late.
  EXPECT_GE(reset[1].at - reset[0].at, 40ms);
  EXPECT_GE(reset[2].at - reset[1].at, 40ms);
}

TEST_F(JackE2E, SigtermSendsEntries100And1AndWritesTheConfiguration) {
  start([](CfgData& cfg) {
    cfg.settings.ThruMode = 2;
    cfg.settings.FixedChannel = {3, 0, 1, 0};
  });
  std::filesystem::remove(dir_->file("KALVANT.CFG"));
  int code = -1;
  EXPECT_EQ(describeAll(shutdown(code)), "entry 100, entry 1");
  EXPECT_EQ(code, 0) << kalvant_.log();
  EXPECT_EQ(readText(dir_->file("KALVANT.CFG")), serialiseCfg(cfg_));
}

TEST_F(JackE2E, AKeyPlayedWhileTheModuleResetsIsNotLost) {
  launch({});
  ASSERT_TRUE(module_->waitForCount(1, 8s)) << kalvant_.log();
  keysA_->play({0x90, 0x3C, 0x64});
  ASSERT_TRUE(module_->waitForCount(13, 8s));
  std::this_thread::sleep_for(100ms);
  std::string got = describeAll(module_->take());
  const auto key = got.find(", 90 3C 64");
  ASSERT_NE(key, std::string::npos) << got;
  EXPECT_EQ(got.erase(key, 10), kReset);
}

}  // namespace
}  // namespace kalvant::e2e

// Switching the organ on and off: the module is reset in its fixed order,
// and SIGTERM (a desktop session ending) takes the normal way out.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "ConsoleOnJack.h"
#include "support/ConsoleFixture.h"

namespace kalvant::e2e {
namespace {

using namespace std::chrono_literals;

double millisecondsBetween(const Stamped& a, const Stamped& b) {
  return std::chrono::duration<double, std::milli>(b.at - a.at).count();
}

TEST_F(JackE2E, StartUpResetsTheModuleInOrderWithPausesAfterTheResetAndTheSetUp) {
  const std::vector<Stamped> reset = start();
  const std::vector<std::string> expected{"entry 100", "entry 1",   "entry 0",   "entry 2",
                                          "entry 3",   "entry 4",   "entry 5",   "entry 6",
                                          "entry 7",   "entry 101", "entry 102", "entry 103"};
  ASSERT_EQ(describeAll(reset), expected);
  // The module needs time after its reset and after the full-organ set-up.
  // Only the lower end is looked at: a busy machine makes pauses longer,
  // and JACK may deliver the first message of a pause up to a period late.
  EXPECT_GE(millisecondsBetween(reset[0], reset[1]), 40.0);
  EXPECT_GE(millisecondsBetween(reset[1], reset[2]), 40.0);
}

TEST_F(JackE2E, SigtermSendsEntries100And1AndWritesTheConfiguration) {
  start([](CfgData& cfg) {
    cfg.settings.ThruMode = 2;
    cfg.settings.FixedChannel = {3, 0, 1, 0};
  });
  const std::string cfgPath = dir_->file("KALVANT.CFG");
  std::filesystem::remove(cfgPath);
  int code = -1;
  EXPECT_EQ(describeAll(shutdown(code)), (std::vector<std::string>{"entry 100", "entry 1"}));
  EXPECT_EQ(code, 0) << kalvant_.log();
  std::ifstream in(cfgPath, std::ios::binary);
  const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(written, serialiseCfg(cfg_));
}

TEST_F(JackE2E, AKeyPlayedWhileTheModuleResetsIsNotLost) {
  // The reset's pauses let the keyboards in: a key played while the module
  // resets is forwarded once, and the reset itself stays whole.
  const int in1 = sourcePosition(keysA_->portName());
  const int in2 = sourcePosition(keysB_->portName());
  const int out = sinkPosition(module_->portName());
  cfg_ = cfgFor(dir_->path(), in1, in2, out);
  ASSERT_EQ(writeProgramFiles(dir_->path(), cfg_, test::taggedTable()), "");
  ASSERT_TRUE(kalvant_.start(dir_->path()));
  ASSERT_TRUE(module_->waitForCount(1, 8s)) << kalvant_.log();
  keysA_->play(parseMessage("90 3C 64"));
  ASSERT_TRUE(module_->waitForCount(13, 8s));
  std::this_thread::sleep_for(100ms);
  const std::vector<std::string> got = describeAll(module_->take());
  ASSERT_EQ(got.size(), 13u);
  std::vector<std::string> withoutKey;
  for (const std::string& m : got)
    if (m != "90 3C 64") withoutKey.push_back(m);
  EXPECT_EQ(withoutKey.size(), 12u);
  EXPECT_EQ(withoutKey.front(), "entry 100");
  EXPECT_EQ(withoutKey.back(), "entry 103");
}

}  // namespace
}  // namespace kalvant::e2e

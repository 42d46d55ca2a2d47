// The JACK server stops under a running console, then the session ends it:
// the shutdown sends far more than JACK's ring buffer holds to a server that
// is gone, and must still end at once, saving its settings.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

#include "harness/JackClients.h"
#include "harness/KalvantProcess.h"
#include "support/ConsoleFixture.h"
#include "support/OwnJackServer.h"

namespace kalvant::e2e {
namespace {

using namespace std::chrono_literals;

// 300 sysex messages of 100 bytes, each paced by SysexDelay at shutdown.
std::string longEntry(char tag) {
  std::string entry;
  for (int i = 0; i < 300; ++i)
    entry += std::string{'\xF0', '\x7D', tag, static_cast<char>(i % 128)} +
             std::string(95, '\x55') + '\xF7';
  return entry;
}

// Input 1 plays `keys`, input 2 nothing, the output is `module`.
void writeDeviceNames(const TempDir& dir, const Keyboard& keys, const Recorder& module) {
  std::ofstream(dir.file("kalvant-devices.conf"))
      << "input1=" << keys.portName() << "\ninput2=\noutput=" << module.portName() << "\n";
}

TEST(JackE2EServerStop, SigtermAfterTheServerStoppedEndsKalvantAndSavesItsSettings) {
  if (!std::getenv("JACK_DEFAULT_SERVER"))
    GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  test::OwnJackServer server("kalvant-e2e-stop");
  ASSERT_TRUE(server.usable());
  TempDir dir("kalvant-e2e-stop");
  KalvantProcess kalvant;
  {
    Keyboard keys("e2e-stop-keys");
    Recorder module("e2e-stop-module");
    const int in = sourcePosition(keys.portName());
    CfgData cfg = cfgFor(dir.path(), in, in, sinkPosition(module.portName()));
    writeDeviceNames(dir, keys, module);
    cfg.settings.SysexDelay = 1;  // the shutdown's sysex paced message by message
    StopsTable table = test::taggedTable();
    table[entry::kModuleReset] = longEntry(1);
    table[entry::kSetupFullOrgan] = longEntry(2);
    ASSERT_EQ(writeProgramFiles(dir.path(), cfg, table), "");
    ASSERT_TRUE(kalvant.start(dir.path()));
    ASSERT_TRUE(module.waitForCount(610, 20s)) << kalvant.log();  // both long entries + ten
    std::filesystem::remove(dir.file("KALVANT.CFG"));
    ASSERT_TRUE(server.stop());
    kalvant.terminate();
    int code = -1;
    EXPECT_TRUE(kalvant.waitExit(8s, code)) << "kalvant hangs on a stopped JACK server";
    EXPECT_EQ(code, 0) << kalvant.log();
    EXPECT_EQ(readText(dir.file("KALVANT.CFG")), serialiseCfg(cfg));
  }
  kalvant.kill();
}

// The server stops under the console and starts again: the console takes
// its devices back by itself, and the module hears the registration again.
TEST(JackE2EServerStop, AServerThatStartsAgainIsReconnectedByItself) {
  if (!std::getenv("JACK_DEFAULT_SERVER"))
    GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  test::OwnJackServer server("kalvant-e2e-stop");
  ASSERT_TRUE(server.usable());
  TempDir dir("kalvant-e2e-restart");
  KalvantProcess kalvant;
  auto keys = std::make_unique<Keyboard>("e2e-restart-keys");
  auto module = std::make_unique<Recorder>("e2e-restart-module");
  ASSERT_EQ(writeProgramFiles(dir.path(), cfgFor(dir.path(), 0, 0, 0), test::taggedTable()), "");
  writeDeviceNames(dir, *keys, *module);
  ASSERT_TRUE(kalvant.start(dir.path()));
  ASSERT_TRUE(module->waitForCount(12, 20s)) << kalvant.log();
  ASSERT_TRUE(server.stop());
  keys.reset(), module.reset();
  ASSERT_TRUE(server.start());
  keys = std::make_unique<Keyboard>("e2e-restart-keys");
  module = std::make_unique<Recorder>("e2e-restart-module");
  // The live registration: three stops, reverb, two tremolos, two volumes.
  EXPECT_TRUE(module->waitForCount(8, 10s)) << "not reconnected\n" << kalvant.log();
  module->take();
  keys->play({0x90, 0x3C, 0x64});
  EXPECT_TRUE(module->waitForCount(1, 3s)) << kalvant.log();
  kalvant.terminate();
  int code = -1;
  EXPECT_TRUE(kalvant.waitExit(8s, code));
  EXPECT_EQ(code, 0) << kalvant.log();
  keys.reset(), module.reset();
  kalvant.kill();
}

}  // namespace
}  // namespace kalvant::e2e

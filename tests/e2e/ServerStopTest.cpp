// The JACK server stops under a running console, then the session ends it:
// the shutdown sends far more than JACK's ring buffer holds to a server that
// is gone, and must still end at once, saving its settings.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "harness/JackClients.h"
#include "harness/KalvantProcess.h"
#include "support/ConsoleFixture.h"

namespace kalvant::e2e {
namespace {

using namespace std::chrono_literals;

bool jackServer(const std::string& command, const std::string& name) {
  return std::system((KALVANT_SCRIPTS_DIR "/jack-server " + command + " " + name).c_str()) == 0;
}

// 300 sysex messages of 100 bytes, where the ring buffer holds 16,383 bytes.
std::string longEntry(char tag) {
  std::string entry;
  for (int i = 0; i < 300; ++i)
    entry += std::string{'\xF0', '\x7D', tag, static_cast<char>(i % 128)} +
             std::string(95, '\x55') + '\xF7';
  return entry;
}

TEST(JackE2EServerStop, SigtermAfterTheServerStoppedEndsKalvantAndSavesItsSettings) {
  const char* shared = std::getenv("JACK_DEFAULT_SERVER");
  if (!shared) GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  const std::string sharedName = shared, name = "kalvant-e2e-stop-" + std::to_string(::getpid());
  ASSERT_TRUE(jackServer("start", name));
  setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
  TempDir dir("kalvant-e2e-stop");
  KalvantProcess kalvant;
  {
    Keyboard keys("e2e-stop-keys");
    Recorder module("e2e-stop-module");
    const int in = sourcePosition(keys.portName());
    CfgData cfg = cfgFor(dir.path(), in, in, sinkPosition(module.portName()));
    cfg.settings.SysexDelay = 1;  // the shutdown's sysex paced message by message
    StopsTable table = test::taggedTable();
    table[entry::kModuleReset] = longEntry(1);
    table[entry::kSetupFullOrgan] = longEntry(2);
    ASSERT_EQ(writeProgramFiles(dir.path(), cfg, table), "");
    ASSERT_TRUE(kalvant.start(dir.path()));
    ASSERT_TRUE(module.waitForCount(610, 20s)) << kalvant.log();  // both long entries + ten
    std::filesystem::remove(dir.file("KALVANT.CFG"));
    ASSERT_TRUE(jackServer("stop", name));
    kalvant.terminate();
    int code = -1;
    EXPECT_TRUE(kalvant.waitExit(8s, code)) << "kalvant hangs on a stopped JACK server";
    EXPECT_EQ(code, 0) << kalvant.log();
    EXPECT_EQ(readText(dir.file("KALVANT.CFG")), serialiseCfg(cfg));
  }
  kalvant.kill();
  jackServer("stop", name);  // leaves no files behind in /dev/shm
  setenv("JACK_DEFAULT_SERVER", sharedName.c_str(), 1);
}

}  // namespace
}  // namespace kalvant::e2e

// The JACK server stops under a running console, and then the desktop
// session ends it: kalvant's shutdown sends far more than JACK's ring buffer
// holds to a server that is gone, and must still end at once, saving its
// settings. It runs a JACK server of its own, which it stops.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "harness/JackClients.h"
#include "harness/KalvantProcess.h"
#include "support/ConsoleFixture.h"

namespace kalvant::e2e {
namespace {

using namespace std::chrono_literals;

bool jackServer(const char* command, const std::string& name) {
  const std::string line = std::string(KALVANT_SCRIPTS_DIR "/jack-server ") + command + " " + name;
  return std::system(line.c_str()) == 0;
}

// 300 sysex messages of 100 bytes: 30,000 bytes, where the ring buffer
// between the console and JACK's thread holds 16,383.
std::string longEntry(int tag) {
  std::string entry;
  for (int i = 0; i < 300; ++i) {
    entry += "\xF0\x7D";
    entry += static_cast<char>(tag);
    entry += static_cast<char>(i % 128);
    entry += std::string(95, '\x55');
    entry += '\xF7';
  }
  return entry;
}

TEST(JackE2EServerStop, SigtermAfterTheServerStoppedEndsKalvantAndSavesItsSettings) {
  const char* shared = std::getenv("JACK_DEFAULT_SERVER");
  if (!shared) GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  const std::string sharedName = shared;
  const std::string name = "kalvant-e2e-stop-" + std::to_string(::getpid());
  ASSERT_TRUE(jackServer("start", name));
  setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);

  TempDir dir("kalvant-e2e-stop");
  KalvantProcess kalvant;
  {
    Keyboard keys("e2e-stop-keys");
    Recorder module("e2e-stop-module");
    const int in = sourcePosition(keys.portName());
    CfgData cfg = cfgFor(dir.path(), in, in, sinkPosition(module.portName()));
    cfg.settings.SysexDelay = 1;  // the shutdown's sysex is paced, message by message
    StopsTable table = test::taggedTable();
    table[entry::kModuleReset] = longEntry(1);
    table[entry::kSetupFullOrgan] = longEntry(2);
    ASSERT_EQ(writeProgramFiles(dir.path(), cfg, table), "");
    ASSERT_TRUE(kalvant.start(dir.path()));
    // The start-up reset: both long entries and ten tagged ones.
    ASSERT_TRUE(module.waitForCount(610, 20s)) << kalvant.log();
    std::filesystem::remove(dir.file("KALVANT.CFG"));
    ASSERT_TRUE(jackServer("stop", name));

    kalvant.terminate();
    int code = -1;
    const bool ended = kalvant.waitExit(8s, code);
    EXPECT_TRUE(ended) << "kalvant hangs on a stopped JACK server";
    EXPECT_EQ(code, 0) << kalvant.log();
    std::ifstream saved(dir.file("KALVANT.CFG"), std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(saved),
                              std::istreambuf_iterator<char>()};
    EXPECT_EQ(written, serialiseCfg(cfg));
  }
  kalvant.kill();
  jackServer("stop", name);  // leaves no files behind in /dev/shm
  setenv("JACK_DEFAULT_SERVER", sharedName.c_str(), 1);
}

}  // namespace
}  // namespace kalvant::e2e

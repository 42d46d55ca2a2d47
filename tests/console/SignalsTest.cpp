// Every signal that ends a console (Ctrl+C, a session ending, the terminal
// closed, Ctrl+\) takes the normal shutdown in the real program: it exits
// with 0 and writes KALVANT.CFG.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <thread>

#include "harness/KalvantProcess.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using namespace std::chrono_literals;

// Whether the process has a handler installed for the signal (SigCgt).
bool catches(pid_t pid, int sig) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("SigCgt:", 0) == 0)
      return (std::stoull(line.substr(7), nullptr, 16) >> (sig - 1)) & 1;
  }
  return false;
}

TEST(Signals, EachTakesTheNormalShutdown) {
  const std::pair<int, const char*> rows[] = {
      {SIGHUP, "SIGHUP"}, {SIGQUIT, "SIGQUIT"}, {SIGTERM, "SIGTERM"}, {SIGINT, "SIGINT"}};
  for (const auto& [sig, name] : rows) {
    SCOPED_TRACE(name);
    std::signal(sig, SIG_DFL);  // as from a terminal, whatever this test inherited
    e2e::TempDir dir("kalvant-signals");
    // No MIDI system: every port on "No device".
    const CfgData cfg = e2e::cfgFor(dir.path(), 0, 0, 1);
    ASSERT_EQ(e2e::writeProgramFiles(dir.path(), cfg, taggedTable()), "");
    // LF line ends read as well; the shutdown writes CR LF.
    std::string lf = serialiseCfg(cfg);
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    std::ofstream(dir.file("KALVANT.CFG"), std::ios::binary) << lf;

    e2e::KalvantProcess kalvant;
    ASSERT_TRUE(kalvant.start(dir.path(), "none"));
    // Every handler is installed at once, before the configuration is read.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!catches(kalvant.pid(), SIGTERM) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(10ms);
    ::kill(kalvant.pid(), sig);
    int code = -1;
    ASSERT_TRUE(kalvant.waitExit(20s, code)) << kalvant.log();
    EXPECT_EQ(code, 0) << kalvant.log();
    std::ifstream written(dir.file("KALVANT.CFG"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), serialiseCfg(cfg));
  }
}

}  // namespace
}  // namespace kalvant::test

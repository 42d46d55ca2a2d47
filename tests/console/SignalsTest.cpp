// Every signal that ends a console (Ctrl+C, a session ending, the terminal closed, Ctrl+\)
// takes the normal shutdown in the real program: it exits with 0 and writes KALVANT.CFG.

#include <signal.h>

#include <csignal>
#include <thread>

#include "harness/KalvantProcess.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using namespace std::chrono_literals;

// Whether the process has a handler installed for the signal (SigCgt).
bool catches(pid_t pid, int sig) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("SigCgt:", 0) == 0)
      return (std::stoull(line.substr(7), nullptr, 16) >> (sig - 1)) & 1;
  return false;
}

TEST(Signals, EachTakesTheNormalShutdown) {
  for (int sig : {SIGHUP, SIGQUIT, SIGTERM, SIGINT}) {
    std::signal(sig, SIG_DFL);  // as from a terminal, whatever this test inherited
    ConsoleTest t;
    const CfgData cfg = e2e::cfgFor(t.dir, 0, 0, 1);  // no MIDI system: every port on "No device"
    ASSERT_EQ(e2e::writeProgramFiles(t.dir, cfg, taggedTable()), "");
    std::string lf = serialiseCfg(cfg);  // LF line ends read as well; the shutdown writes CR LF
    std::erase(lf, '\r');
    t.writeFile("KALVANT.CFG", lf);
    e2e::KalvantProcess kalvant;
    ASSERT_TRUE(kalvant.start(t.dir, "none"));
    // Every handler is installed at once, before the configuration is read.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!catches(kalvant.pid(), SIGTERM) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(10ms);
    ::kill(kalvant.pid(), sig);
    int code = -1;
    ASSERT_TRUE(kalvant.waitExit(20s, code)) << kalvant.log();
    EXPECT_EQ(code, 0) << sig << kalvant.log();
    EXPECT_EQ(t.readFile("KALVANT.CFG"), serialiseCfg(cfg)) << sig;
  }
}

}  // namespace
}  // namespace kalvant::test

// The setup dialog with real ports over JACK (dummy driver): the organist
// picks the module's port, OK resets the module through it, and the next
// start opens the same port from "KALVANT.CFG".

#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include "console/Console.h"
#include "midi/RtMidiBackend.h"
#include "stops/DatFile.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// An event loop in real time for a test without Qt: posted closures come
// from JACK's thread, the timer is a deadline, and a wait sleeps a little.
class RealTimeLoop : public EventLoop {
 public:
  std::function<void()> onTimer;
  midi::Post post() {
    return [this](std::function<void()> fn) {
      std::lock_guard lock(mutex_);
      posted_.push_back(std::move(fn));
    };
  }
  void startTimer(int msec) override {
    interval_ = std::chrono::milliseconds(msec);
    deadline_ = Clock::now() + interval_;
    armed_ = true;
  }
  void stopTimer() override { armed_ = false; }
  void processPendingEvents() override { runPosted(); }
  void waitForEvents() override {
    for (;;) {
      if (runPosted()) return;
      if (armed_ && Clock::now() >= deadline_) {
        deadline_ += interval_;
        if (onTimer) onTimer();
        return;
      }
      std::this_thread::sleep_for(1ms);
    }
  }
  bool runPosted() {
    std::deque<std::function<void()>> batch;
    {
      std::lock_guard lock(mutex_);
      batch.swap(posted_);
    }
    for (auto& fn : batch) fn();
    return !batch.empty();
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> posted_;
  bool armed_ = false;
  std::chrono::milliseconds interval_{0};
  Clock::time_point deadline_;
};

class Module {
 public:
  Module() : in_(RtMidi::UNIX_JACK, "gs-module") {
    in_.ignoreTypes(false, true, true);
    in_.setCallback(&Module::received, this);
    in_.openVirtualPort("midi_in");
  }
  std::vector<int> entries(std::size_t atLeast) {
    const auto deadline = Clock::now() + 3s;
    for (;;) {
      {
        std::lock_guard lock(mutex_);
        if (got_.size() >= atLeast || Clock::now() > deadline) break;
      }
      std::this_thread::sleep_for(2ms);
    }
    std::this_thread::sleep_for(50ms);
    std::lock_guard lock(mutex_);
    std::vector<int> e;
    for (const auto& m : got_) e.push_back(entryOf(m));
    got_.clear();
    return e;
  }

 private:
  static void received(double, std::vector<unsigned char>* m, void* self) {
    auto* module = static_cast<Module*>(self);
    std::lock_guard lock(module->mutex_);
    module->got_.emplace_back(m->begin(), m->end());
  }
  RtMidiIn in_;
  std::mutex mutex_;
  std::vector<midi::Bytes> got_;
};

// One run of the console on JACK ports, from start-up to shutdown.
struct ConsoleRun {
  RealTimeLoop loop;
  ScriptedUser user;
  midi::PortSet ports;
  std::unique_ptr<Console> k;
  explicit ConsoleRun(const std::string& dir)
      : ports(midi::createRtMidiPorts(midi::Api::Jack, loop.post())) {
    k = std::make_unique<Console>(
        ConsoleWorld{user, loop, *ports.input1, *ports.input2, *ports.output, dir});
    loop.onTimer = [this] { k->Timer1_Timer(); };
  }
};

int positionOf(const std::vector<std::string>& list, const std::string& part) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].find(part) != std::string::npos) return static_cast<int>(i);
  }
  return -1;
}

TEST(JackSetup, ThePickedPortIsResetAndOpenedAgainAfterARestart) {
  if (!std::getenv("JACK_DEFAULT_SERVER"))
    GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  char pattern[] = "/tmp/kalvant-jack-setup-XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  std::string error;
  ASSERT_TRUE(writeDatFile(dir + "/kalvant.dat", taggedTable(), error)) << error;
  Module module;
  const std::vector<int> reset{100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103};
  {
    ConsoleRun first(dir);
    first.k->Form_Load();
    EXPECT_EQ(first.user.messages,
              std::vector<std::string>{"Midi devices are unassigned : go to Setup !"});
    first.k->SetMidi_Click();
    const int position = positionOf(first.k->panel.Set_up.outputDevcombo, "gs-module");
    ASSERT_GE(position, 0);
    first.k->outputDevcombo_Click(position);
    first.k->Setup_OK_Click();
    std::vector<int> expected{101, 102, 103};
    expected.insert(expected.end(), reset.begin(), reset.end());
    EXPECT_EQ(module.entries(expected.size()), expected);
    bool cancel = false;
    first.k->Form_Unload(cancel);
    EXPECT_EQ(module.entries(2), (std::vector<int>{100, 1}));
  }
  {
    ConsoleRun second(dir);
    second.k->Form_Load();
    EXPECT_TRUE(second.user.messages.empty()) << second.user.messages.front();
    EXPECT_EQ(module.entries(reset.size()), reset);
    bool cancel = false;
    second.k->Form_Unload(cancel);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kalvant::test

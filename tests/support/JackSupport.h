#pragma once
// Real MIDI over JACK: a real-time event loop, a recording module, a console on RtMidi ports.

#include <chrono>
#include <deque>
#include <mutex>
#include <thread>

#include "harness/JackClients.h"
#include "midi/RtMidiBackend.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {

using Clock = std::chrono::steady_clock;

// Posted closures come from JACK's thread; the timer is a deadline.
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
    interval_ = std::chrono::milliseconds(msec), deadline_ = Clock::now() + interval_,
    armed_ = true;
  }
  void stopTimer() override { armed_ = false; }
  std::function<void()> idle;
  void whenIdle(std::function<void()> fn) override { idle = std::move(fn); }
  std::function<void()> secondTick;  // the test calls it
  void everySecond(std::function<void()> tick) override { secondTick = std::move(tick); }
  // Runs posted closures and the timer's ticks until the timer is stopped
  // (the console's output has drained), for at most `limit`.
  void drain(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = Clock::now() + limit;
    while (armed_ && Clock::now() < end) {
      runPosted();
      if (armed_ && Clock::now() >= deadline_) {
        deadline_ += interval_;
        if (onTimer) onTimer();
        continue;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    runPosted();
  }
  bool runPosted() {
    auto batch = [&] { return std::lock_guard(mutex_), std::exchange(posted_, {}); }();
    for (auto& fn : batch) fn();
    if (idle) idle();
    return !batch.empty();
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> posted_;
  bool armed_ = false;
  std::chrono::milliseconds interval_{0};
  Clock::time_point deadline_;
};

// The sound module: which table entries reached it.
struct Module {
  e2e::Recorder recorder_{"gs-module", "midi_in"};
  std::vector<int> entries(std::size_t atLeast) {
    recorder_.waitForCount(atLeast, std::chrono::seconds(3));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // anything extra shows up now
    std::vector<int> e;
    for (const e2e::Stamped& m : recorder_.take()) e.push_back(entryOf(m.bytes));
    return e;
  }
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

// The position of the first list entry that contains part, or -1.
inline int positionOf(const std::vector<std::string>& list, const std::string& part) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i].find(part) != std::string::npos) return static_cast<int>(i);
  return -1;
}
inline int positionOf(midi::MidiPort& port, const std::string& part) {
  return positionOf(port.devices(), part);
}

}  // namespace kalvant::test

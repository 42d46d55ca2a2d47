#pragma once
// Real MIDI over a JACK server for tests: an event loop in real time, a
// JACK client that stands for the sound module, and a console run on RtMidi
// ports.

#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>

#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "console/Console.h"
#include "midi/RtMidiBackend.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {

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
  // Returns after an event, a timer tick, or 5 ms of nothing: callers poll
  // with their own deadlines, so a lost message fails a test, never hangs it.
  void waitForEvents() override {
    for (int idle = 0; idle < 5; ++idle) {
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
  std::vector<midi::Bytes> messages(std::size_t atLeast) {
    const auto deadline = Clock::now() + 3s;
    for (;;) {
      {
        std::lock_guard lock(mutex_);
        if (got_.size() >= atLeast || Clock::now() > deadline) break;
      }
      std::this_thread::sleep_for(2ms);
    }
    if (atLeast > 0) std::this_thread::sleep_for(50ms);  // anything extra shows up now
    std::lock_guard lock(mutex_);
    std::vector<midi::Bytes> got;
    got.swap(got_);
    return got;
  }
  std::vector<int> entries(std::size_t atLeast) {
    std::vector<int> e;
    for (const auto& m : messages(atLeast)) e.push_back(entryOf(m));
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

// The position of the first list entry that contains part, or -1.
inline int positionOf(const std::vector<std::string>& list, const std::string& part) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].find(part) != std::string::npos) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace kalvant::test

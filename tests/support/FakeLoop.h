#pragma once
// An event loop on a virtual millisecond clock that moves only when a test advances it.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/Services.h"
#include "midi/MidiPort.h"

namespace kalvant::test {

class FakeLoop : public EventLoop {
 public:
  std::function<void()> onTimer;
  long time = 0;  // virtual milliseconds
  int timerStarts = 0;
  std::chrono::steady_clock::time_point now() const override {
    return std::chrono::steady_clock::time_point(std::chrono::milliseconds(time));
  }
  void startTimer(int msec) override {
    ++timerStarts, armed_ = true, interval_ = msec, deadline_ = time + msec;
  }
  void stopTimer() override { armed_ = false; }
  // The clock moves on by msec; the timer fires at each of its ticks on the way.
  void advance(long msec) {
    const long until = time + msec;
    while (armed_ && deadline_ <= until) tick();
    time = until;
  }
  // The clock moves on until the timer is stopped: the console's output has drained.
  void drain() {
    while (armed_) {
      if (deadline_ > 3600 * 1000) throw std::runtime_error("the timer ran past an hour");
      tick();
    }
  }
  // Closures posted by ports run at the next pump, as on the GUI thread.
  midi::Post post() {
    return [this](std::function<void()> fn) { posted_.push_back(std::move(fn)); };
  }
  void runPosted() {
    while (!posted_.empty())
      for (auto& fn : std::exchange(posted_, {})) fn();
    if (idle) idle();
  }
  std::function<void()> idle;
  void whenIdle(std::function<void()> fn) override { idle = std::move(fn); }
  bool timerArmed() const { return armed_; }
  // The device watch, which a test runs as if a second had passed.
  std::function<void()> secondTick;
  void everySecond(std::function<void()> tick) override { secondTick = std::move(tick); }

 private:
  void tick() {
    time = deadline_, deadline_ += interval_;
    if (onTimer) onTimer();
  }
  bool armed_ = false;
  long interval_ = 0, deadline_ = 0;
  std::vector<std::function<void()>> posted_;
};

template <class T>
T takeFront(std::deque<T>& queue, T none) {
  if (queue.empty()) return none;
  T front = std::move(queue.front());
  queue.pop_front();
  return front;
}

class ScriptedUser : public UserDialogs {
 public:
  std::vector<std::string> messages;   // every OK box, in order
  std::vector<std::string> questions;  // every Yes/No question, in order
  std::deque<bool> answers;            // answers to give, in order; No when exhausted
  std::function<void()> whileOpen;     // runs while a box is open (its nested loop)
  void message(const std::string& text, MessageIcon) override {
    messages.push_back(text);
    if (whileOpen) whileOpen();
  }
  std::vector<std::string> notices;  // messages that do not wait
  void notice(const std::string& text) override { notices.push_back(text); }
  bool askYesNo(const std::string& text) override {
    questions.push_back(text);
    if (whileOpen) whileOpen();
    return takeFront(answers, false);
  }
  // File dialogs take the next answer (a path; nullopt or none left: Cancel);
  // fileDialogs records "title|extension".
  std::deque<std::optional<std::string>> pickedFiles;
  std::vector<std::string> fileDialogs;
  std::optional<std::string> pickFileToOpen(const std::string& t, const std::string& e) override {
    return nextFile(t, e);
  }
  std::optional<std::string> pickFileToSave(const std::string& t, const std::string& e) override {
    return nextFile(t, e);
  }
  std::optional<std::string> nextFile(const std::string& title, const std::string& extension) {
    fileDialogs.push_back(title + "|" + extension);
    return takeFront(pickedFiles, std::optional<std::string>());
  }
};

}  // namespace kalvant::test

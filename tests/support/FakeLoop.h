#pragma once
// A fake event loop on a virtual millisecond clock: waits jump straight to
// the next timer tick or scheduled test action, so pauses cost no real time
// and every send can be stamped with the time it would have left.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/Services.h"
#include "midi/MidiPort.h"

namespace kalvant::test {

class FakeLoop : public EventLoop {
 public:
  std::function<void()> onTimer;
  long now = 0;  // virtual milliseconds

  void startTimer(int msec) override;
  void stopTimer() override { armed_ = false; }
  void waitForEvents() override;
  void processPendingEvents() override { runPosted(); }
  void pause(std::chrono::microseconds length) override { pausedMicroseconds += length.count(); }
  long pausedMicroseconds = 0;

  // Runs fn when the virtual clock reaches t (inside some wait).
  void at(long t, std::function<void()> fn) { scheduled_.emplace(t, std::move(fn)); }
  // Closures posted by ports run at the next pump, as on the GUI thread.
  midi::Post post();
  void runPosted();
  bool timerArmed() const { return armed_; }

 private:
  bool armed_ = false;
  long interval_ = 0, deadline_ = 0;
  std::multimap<long, std::function<void()>> scheduled_;
  std::vector<std::function<void()>> posted_;
};

class ScriptedUser : public UserDialogs {
 public:
  std::vector<std::string> messages;   // every OK box, in order
  std::vector<std::string> questions;  // every Yes/No question, in order
  std::vector<bool> answers;           // answers to give, in order; No when exhausted
  // Runs while a box is open, as events do in its nested loop.
  std::function<void()> whileOpen;

  void message(const std::string& text, MessageIcon) override {
    messages.push_back(text);
    if (whileOpen) whileOpen();
  }
  bool askYesNo(const std::string& text) override;

  // File dialogs: each one takes the next answer (a path, or nullopt for
  // Cancel); Cancel when exhausted. fileDialogs records "title|extension".
  std::deque<std::optional<std::string>> pickedFiles;
  std::vector<std::string> fileDialogs;
  std::optional<std::string> pickFileToOpen(const std::string& t, const std::string& e) override {
    return nextFile(t, e);
  }
  std::optional<std::string> pickFileToSave(const std::string& t, const std::string& e) override {
    return nextFile(t, e);
  }
  std::optional<std::string> nextFile(const std::string& title, const std::string& extension);
};

}  // namespace kalvant::test

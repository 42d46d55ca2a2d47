#pragma once
// The small interfaces through which the console reaches the world besides
// MIDI: questions and messages to the user, and waiting while other events
// run. The program implements them with Qt; tests answer from a script and
// run a fake clock.

#include <string>

namespace kalvant {

enum class MessageIcon { None, Exclamation, Critical, Information };

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A modal box with an OK button and the application's title.
  virtual void message(const std::string& text, MessageIcon icon) = 0;
  // A modal box titled "Warning" with Yes and No, the exclamation icon and No
  // as the default. True only for Yes.
  virtual bool askYesNo(const std::string& text) = 0;
};

// The event loop as the console's waits see it.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // The console's one timer: fires Console::Timer1_Timer after msec, again
  // every msec until stopped. Starting it again re-arms it.
  virtual void startTimer(int msec) = 0;
  virtual void stopTimer() = 0;
  // Sleeps until at least one event is pending, then handles what is pending.
  virtual void waitForEvents() = 0;
  // Handles what is pending now, without sleeping.
  virtual void processPendingEvents() = 0;
};

}  // namespace kalvant

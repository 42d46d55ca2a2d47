#pragma once
// The small interfaces through which the console reaches the world besides
// MIDI: questions and messages to the user, the clock and the console's
// timer. The program implements them with Qt; tests answer from a script and
// run a fake clock.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

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

  // File dialogs and the OK/Cancel box of the file checks (memory files,
  // stops tables, sysex files). The chosen full path, or nothing when the
  // user cancels. The filter shows only files with the extension (".dat").
  virtual std::optional<std::string> pickFileToOpen(const std::string& /*title*/,
                                                    const std::string& /*extension*/) {
    return std::nullopt;
  }
  // The save dialog adds the extension to a name typed without one and asks
  // before an existing file is replaced.
  virtual std::optional<std::string> pickFileToSave(const std::string& /*title*/,
                                                    const std::string& /*extension*/) {
    return std::nullopt;
  }
  // A box with OK and Cancel whose answer nobody uses.
  virtual void messageOkCancel(const std::string& text) { message(text, MessageIcon::None); }
  // A message that does not wait for the user: the console plays on while
  // it is shown. A second notice replaces the first.
  virtual void notice(const std::string& text) = 0;
};

// Dialogs that run `beforeWaiting` before every box that waits for the
// user, so that whatever the console was doing counts as done meanwhile.
class DialogsThatLetGo final : public UserDialogs {
 public:
  DialogsThatLetGo(UserDialogs& user, std::function<void()> beforeWaiting)
      : user_(user), beforeWaiting_(std::move(beforeWaiting)) {}
  void message(const std::string& text, MessageIcon icon) override {
    letGo();
    user_.message(text, icon);
  }
  bool askYesNo(const std::string& text) override {
    letGo();
    return user_.askYesNo(text);
  }
  std::optional<std::string> pickFileToOpen(const std::string& t, const std::string& e) override {
    letGo();
    return user_.pickFileToOpen(t, e);
  }
  std::optional<std::string> pickFileToSave(const std::string& t, const std::string& e) override {
    letGo();
    return user_.pickFileToSave(t, e);
  }
  void messageOkCancel(const std::string& text) override {
    letGo();
    user_.messageOkCancel(text);
  }
  void notice(const std::string& text) override { user_.notice(text); }

 private:
  void letGo() {
    if (beforeWaiting_) beforeWaiting_();
  }
  UserDialogs& user_;
  std::function<void()> beforeWaiting_;
};

// The event loop as the console sees it. No procedure of the console waits
// on it: what has to happen later is woken by the timer.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // A steady clock (tests run a virtual one).
  virtual std::chrono::steady_clock::time_point now() const {
    return std::chrono::steady_clock::now();
  }
  // The console's one timer: fires Console::Timer1_Timer after msec, again
  // every msec until stopped. Starting it again re-arms it.
  virtual void startTimer(int msec) = 0;
  virtual void stopTimer() = 0;
  // Calls tick about once a second from now on, between other events.
  virtual void everySecond(std::function<void()> tick) = 0;
  // Calls fn whenever the loop has handled what was pending and is about to
  // wait for more.
  virtual void whenIdle(std::function<void()> fn) = 0;
};

}  // namespace kalvant

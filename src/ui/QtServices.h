#pragma once
// The console's services on Qt: message boxes, the event loop with the
// console's timer, and posting closures to the GUI thread.

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "common/Services.h"
#include "midi/MidiPort.h"

namespace kalvant::ui {

class QtUserDialogs : public UserDialogs {
 public:
  void setParent(QWidget* parent) { parent_ = parent; }
  // The folder the file dialogs open in: the data folder.
  void setStartFolder(const std::string& folder) { startFolder_ = folder; }
  void message(const std::string& text, MessageIcon icon) override;
  bool askYesNo(const std::string& text) override;
  // File dialogs of the memory files, stops tables and sysex files.
  std::optional<std::string> pickFileToOpen(const std::string& title,
                                            const std::string& extension) override;
  std::optional<std::string> pickFileToSave(const std::string& title,
                                            const std::string& extension) override;
  void messageOkCancel(const std::string& text) override;
  void notice(const std::string& text) override;

 private:
  QWidget* parent_ = nullptr;
  std::string startFolder_;
  QPointer<QMessageBox> notice_;
};

class QtEventLoop : public EventLoop {
 public:
  explicit QtEventLoop(std::function<void()> onTimer);
  void startTimer(int msec) override;
  void stopTimer() override;
  void everySecond(std::function<void()> tick) override;
  void whenIdle(std::function<void()> fn) override;

 private:
  QTimer timer_;
  QTimer secondTimer_;
};

// Runs closures on the GUI thread; callable from any thread.
midi::Post qtPost();

}  // namespace kalvant::ui

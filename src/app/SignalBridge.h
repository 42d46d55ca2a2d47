#pragma once
// Turns SIGINT, SIGTERM, SIGHUP and SIGQUIT into a close request on the GUI
// thread, so that a signal closes the console through the same shutdown as
// the Exit menu.

#include <QObject>
#include <functional>

namespace kalvant::app {

class SignalBridge : public QObject {
  Q_OBJECT

 public:
  explicit SignalBridge(std::function<void()> onSignal);
  ~SignalBridge() override;

 private:
  std::function<void()> onSignal_;
};

}  // namespace kalvant::app

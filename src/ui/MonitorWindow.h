#pragma once
// "MIDI Monitor": what arrives on each input and what leaves the output,
// decoded, live. It watches the tap only while it is open, draining it on a
// timer; the decoding and the lines live in src/monitor.

#include <QDialog>

#include "console/Console.h"
#include "monitor/MidiDecode.h"
#include "monitor/MonitorLog.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace kalvant::ui {

class MonitorWindow : public QDialog {
  Q_OBJECT

 public:
  MonitorWindow(Console& console, midi::MonitorTap& tap, QWidget* parent);
  ~MonitorWindow() override;
  // GUI thread: takes what the tap holds now (the timer calls it).
  void drain();
  const monitor::MonitorLog& log() const { return log_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void refilter();
  void save();
  void showDropped();

  Console& k_;
  midi::MonitorTap& tap_;
  monitor::SysexNames names_;
  monitor::MonitorLog log_;
  monitor::PortFilter filter_;
  std::int64_t origin_ = 0;
  std::uint64_t droppedAtStart_ = 0;
  QPlainTextEdit* view_;
  QCheckBox* in1_;
  QCheckBox* in2_;
  QCheckBox* out_;
  QPushButton* pause_;
  QLabel* dropped_;
  QTimer* timer_;
};

}  // namespace kalvant::ui

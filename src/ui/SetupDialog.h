#pragma once
// The MIDI device setup dialog "MIDI Devices and Delays": modeless; renders the
// setup view and forwards list clicks, slider moves, OK and CANCEL.

#include <QDialog>

#include "console/Console.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace kalvant::ui {
class SynthSettingsBox;
}

namespace kalvant::ui {

class SetupDialog : public QDialog {
  Q_OBJECT

 public:
  SetupDialog(Console& console, QWidget* parent);
  void render();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape: the same as CANCEL

 private:
  void renderList(QComboBox* combo, const std::vector<std::string>& items, int selected);

  Console& k_;
  QComboBox* input1_;
  QComboBox* input2_;
  QComboBox* output_;
  QSlider* noteDelay_;
  QSlider* sysexDelay_;
  QLabel* labelHang_;
  QLabel* userDelay_;
  SynthSettingsBox* synth_;
  QCheckBox* footSwitches_;
};

}  // namespace kalvant::ui

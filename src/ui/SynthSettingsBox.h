#pragma once
// The built-in synthesizer's choices in the setup dialog: the audio driver
// and the soundfont. It renders the setup view's synthesizer part and
// forwards the clicks; the console saves the choice on OK.

#include <QGroupBox>

#include "ports/SetupView.h"

class QComboBox;
class QLineEdit;

namespace kalvant {
class Console;
}

namespace kalvant::ui {

class SynthSettingsBox : public QGroupBox {
  Q_OBJECT

 public:
  SynthSettingsBox(Console& console, QWidget* parent = nullptr);
  void render(const ports::SynthView& view);

 private:
  Console& k_;
  QComboBox* driver_;
  QLineEdit* soundfont_;
};

}  // namespace kalvant::ui

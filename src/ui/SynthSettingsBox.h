#pragma once
// The built-in synthesizer's choices in the setup dialog: the audio driver
// and the soundfont. They are kept in its own settings file and take effect
// when the "kalvant built-in synthesizer" output is opened (OK).

#include <QGroupBox>
#include <string>

class QComboBox;
class QLineEdit;

namespace kalvant::ui {

class SynthSettingsBox : public QGroupBox {
  Q_OBJECT

 public:
  SynthSettingsBox(std::string programDir, QWidget* parent = nullptr);

  // Shows what the settings file holds now.
  void reload();

 private:
  void save();
  void browse();

  std::string programDir_;
  QComboBox* driver_;
  QLineEdit* soundfont_;
  std::string soundfontPath_;
};

}  // namespace kalvant::ui

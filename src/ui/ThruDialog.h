#pragma once
// "MIDI Thru Mode": the three rechannelling modes with their descriptions
// and the three fields that learn a division's channel from a played key.

#include <QDialog>
#include <array>

#include "console/Console.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace kalvant::ui {

class ThruDialog : public QDialog {
  Q_OBJECT

 public:
  ThruDialog(Console& console, QWidget* parent);
  void render();

 protected:
  void closeEvent(QCloseEvent* event) override;  // as OK
  void reject() override;                        // Escape: as CANCEL

 private:
  Console& k_;
  std::array<QRadioButton*, 3> options_{};
  QLabel* label3_;
  QLabel* label2_3_;
  QLabel* label1_;
  std::array<QPushButton*, 3> fields_{};
};

}  // namespace kalvant::ui

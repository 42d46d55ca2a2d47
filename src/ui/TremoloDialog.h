#pragma once
// "Tremolo Rate": a modeless dialog with one slider, OK and CANCEL.

#include <QDialog>

#include "console/Console.h"

class QLabel;
class QSlider;

namespace kalvant::ui {

class TremoloDialog : public QDialog {
  Q_OBJECT

 public:
  TremoloDialog(Console& console, QWidget* parent);
  void render();

 protected:
  void closeEvent(QCloseEvent* event) override;  // as OK: the new rate stays
  void reject() override;                        // Escape: as CANCEL

 private:
  Console& k_;
  QSlider* rateSlider_;
  QLabel* rateText_;
};

}  // namespace kalvant::ui

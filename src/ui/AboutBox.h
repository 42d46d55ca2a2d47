#pragma once
// The about box: modeless, one box however often About is chosen;
// a missing picture leaves the box without it.

#include <QDialog>

#include "console/Console.h"

class QLabel;

namespace kalvant::ui {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  AboutBox(Console& console, QWidget* parent);
  void render();

 private:
  Console& k_;
  QLabel* image1_;
  QLabel* version_;
  int showsDone_ = 0;
};

}  // namespace kalvant::ui

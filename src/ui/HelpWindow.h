#pragma once
// The help window: the HTML manual from the program directory in a browser
// with Back, Forward and Contents.

#include <QMainWindow>

#include "console/Console.h"

class QTextBrowser;

namespace kalvant::ui {

class HelpWindow : public QMainWindow {
  Q_OBJECT

 public:
  HelpWindow(Console& console, QWidget* parent);
  void render();

 private:
  Console& k_;
  QTextBrowser* browser_;
  int showsDone_ = 0;
};

}  // namespace kalvant::ui

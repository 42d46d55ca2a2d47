#pragma once
// The console decides when a dialog is open; the widget follows its view.

#include <QWidget>

namespace kalvant::ui {

inline void showAsTheConsoleSays(QWidget* w, bool visible) {
  if (visible && !w->isVisible()) {
    w->show();
    w->raise();
  } else if (!visible && w->isVisible()) {
    w->hide();
  }
}

}  // namespace kalvant::ui

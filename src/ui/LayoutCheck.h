#pragma once
// Finds what a user could not fully see in a window: a control outside the
// window, a window outside its screen, a caption too wide or too tall for
// the room its control has. Each problem reads "window: control: reason".

#include <QString>
#include <QStringList>

class QWidget;

namespace kalvant::ui {

QStringList layoutProblems(const QWidget* window);

// The name a problem gives a widget: its object name, or else its class
// and text.
QString widgetName(const QWidget* w);

}  // namespace kalvant::ui

#pragma once
// A lamp on a widget: the style sheet colours it by its [lamp="lit"],
// [lamp="unlit"] or [lamp="inactive"] rules.

#include <QLatin1String>
#include <QStyle>
#include <QVariant>
#include <QWidget>

#include "view/Views.h"

namespace kalvant::ui {

inline const char* lampName(Lamp lamp) {
  switch (lamp) {
    case Lamp::Lit:
      return "lit";
    case Lamp::Inactive:
      return "inactive";
    case Lamp::Unlit:
      break;
  }
  return "unlit";
}

// Restyles the widget only when its lamp really changes: a repolish is a
// pass of the style sheet over the widget.
inline void setLamp(QWidget* w, Lamp lamp) {
  const char* name = lampName(lamp);
  if (w->property("lamp").toString() == QLatin1String(name)) return;
  w->setProperty("lamp", name);
  w->style()->unpolish(w);
  w->style()->polish(w);
}

}  // namespace kalvant::ui

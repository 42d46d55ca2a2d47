#pragma once
// Text crossing into and out of Qt. Everything inside the program is UTF-8,
// paths included, so these two are the only conversions the widgets make:
// decoding the files' own 8-bit texts happens in the core, where they are
// read.

#include <QString>
#include <string>

namespace kalvant::ui {

inline QString toQt(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

inline std::string fromQt(const QString& text) {
  return text.toStdString();
}

}  // namespace kalvant::ui

#pragma once
// The primitive views a control shows: every part describes its controls
// with these, and the widgets render them. Console state is shown by three
// lamp states, which the widgets map to colours. Texts and paths are UTF-8;
// the parts decode the files' Windows-1252 names before they show them.

#include <functional>
#include <string>

namespace kalvant {

enum class Lamp { Lit, Unlit, Inactive };

struct ButtonView {
  std::string caption;
  std::string tooltip;
  Lamp lamp = Lamp::Unlit;
  bool enabled = true;
  bool operator==(const ButtonView&) const = default;
};

struct LabelView {
  std::string text;
  std::string tooltip;
  bool operator==(const LabelView&) const = default;
};

struct PictureView {
  std::string picturePath;  // "" shows nothing
  std::string tooltip;
  std::string words;  // what the picture shows, said in words (for screen readers)
  bool operator==(const PictureView&) const = default;
};

struct SliderView {
  int minimum = 0;
  int maximum = 127;
  int value = 0;
  std::string tooltip;
  bool operator==(const SliderView&) const = default;
};

// Changes one field of a view and tells the renderer, once, only when the
// value really changed: the window repaints per change, not per call.
template <class T>
void setView(T& field, const T& value, const std::function<void()>& changed) {
  if (field == value) return;
  field = value;
  if (changed) changed();
}

inline ButtonView makeButton(const char* caption, const char* tooltip = "") {
  ButtonView b;
  b.caption = caption;
  b.tooltip = tooltip;
  return b;
}

struct MenuItemView {
  std::string caption;
  bool checked = false;
  bool enabled = true;
  bool operator==(const MenuItemView&) const = default;
};

}  // namespace kalvant

#pragma once
// The panel: what every control of the console shows. The core writes it; the
// widgets render it. Console state is shown by three lamp states, which the
// widgets map to colours. Texts are 8-bit (Latin-1), as the stops table is.
//
// Every change goes through the setters, which tell the renderer once per
// change so it can schedule a repaint.

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "registration/CombinationsView.h"
#include "sound/SoundView.h"
#include "view/Views.h"

namespace kalvant {

struct Panel {
  std::string windowCaption;
  std::string windowIconPath;

  ButtonView RESET, Panic;
  LabelView Label_fileDAT;
  std::map<std::string, MenuItemView> menu;  // by control name ("EnableCFG")
  // The views the sound settings and the registration own, set by the
  // console.
  const SoundView* sound = nullptr;
  const CombinationsView* registration = nullptr;

  // Set by the renderer; called after each change.
  std::function<void()> onChanged;

  void paint(ButtonView& b, Lamp lamp) { set(b.lamp, lamp); }
  void setCaption(ButtonView& b, const std::string& s) { set(b.caption, s); }
  void setEnabled(ButtonView& b, bool on) { set(b.enabled, on); }
  void setText(LabelView& l, const std::string& s) { set(l.text, s); }
  void setPicture(PictureView& p, const std::string& path) { set(p.picturePath, path); }
  void setSlider(SliderView& s, int value) { set(s.value, value); }
  void check(const std::string& item, bool on) { set(menu[item].checked, on); }
  bool checked(const std::string& item) const;
  // A menu item of the console or of the sound settings, or null.
  const MenuItemView* menuItem(const std::string& item) const;
  template <class T>
  void set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    if (onChanged) onChanged();
  }
};

// The panel as it looks before start-up: captions, tooltips, ranges and
// menus that never change.
Panel makeInitialPanel();

}  // namespace kalvant

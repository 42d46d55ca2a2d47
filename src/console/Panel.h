#pragma once
// The panel: what the console's own controls show (the window's caption and
// icon, RESET and PANIC, the stops-table line and the console's menu items).
// The core writes it through the setters; the widgets read it. Console state
// is shown by three lamp states, which the widgets map to colours. Texts and
// paths are UTF-8, as everywhere inside the program.
//
// Every change goes through the setters, which tell the renderer once per
// change so it can schedule a repaint.

#include <functional>
#include <string>

#include "registration/CombinationsView.h"
#include "sound/SoundView.h"
#include "view/MenuItems.h"
#include "view/Views.h"

namespace kalvant {

class Panel {
 public:
  // The sound part's view (its menu items live there), set by the console.
  const SoundView* sound = nullptr;
  // The registration's view (Edit > Undo lives there), set by the console.
  const CombinationsView* registration = nullptr;
  // Set by the renderer; called after each change.
  std::function<void()> onChanged;

  const std::string& windowCaption() const { return windowCaption_; }
  const std::string& windowIconPath() const { return windowIconPath_; }
  const ButtonView& resetButton() const { return resetButton_; }
  const ButtonView& panicButton() const { return panicButton_; }
  // "Stops Table: <path>" under the divisions.
  const LabelView& tableFileText() const { return tableFileText_; }
  // A menu item of the console or, for isSoundItem items, of the sound
  // settings (an empty view until the console has set `sound`).
  const MenuItemView& menuItem(MenuItem item) const;
  bool checked(MenuItem item) const { return menuItem(item).checked; }

  void setWindowCaption(const std::string& s) { set(windowCaption_, s); }
  void setWindowIconPath(const std::string& path) { set(windowIconPath_, path); }
  void lightResetButton(Lamp lamp) { set(resetButton_.lamp, lamp); }
  void setTableFileText(const std::string& s) { set(tableFileText_.text, s); }
  // Only the console's own items; the sound settings check theirs.
  void check(MenuItem item, bool on);

 private:
  friend Panel makeInitialPanel();
  template <class T>
  void set(T& field, const T& value) {
    setView(field, value, onChanged);
  }

  std::string windowCaption_;
  std::string windowIconPath_;
  ButtonView resetButton_, panicButton_;
  LabelView tableFileText_;
  MenuItemViews menu_;
};

// The panel as it looks before start-up: captions, tooltips and menus that
// never change.
Panel makeInitialPanel();

}  // namespace kalvant

#include "console/Panel.h"

namespace kalvant {

const MenuItemView& Panel::menuItem(MenuItem item) const {
  if (item == MenuItem::Undo && registration) return registration->undo;
  return isSoundItem(item) && sound ? sound->menu[item] : menu_[item];
}

void Panel::check(MenuItem item, bool on) {
  if (!isSoundItem(item)) set(menu_[item].checked, on);
}

Panel makeInitialPanel() {
  Panel p;
  p.resetButton_ = makeButton("RESET", "Reset kalvant and the module to the initial state");
  p.panicButton_ = makeButton("PANIC", "Send All Notes Off: silences any hanging note");
  for (const MenuItemInfo& m : kMenuItems) {
    if (!isSoundItem(m.item)) p.menu_[m.item].caption = m.caption;
  }
  return p;
}

}  // namespace kalvant

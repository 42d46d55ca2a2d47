#include "console/Panel.h"

namespace kalvant {

const MenuItemView& Panel::menuItem(MenuItem item) const {
  return isSoundItem(item) && sound ? sound->menu[item] : menu_[item];
}

void Panel::check(MenuItem item, bool on) {
  if (!isSoundItem(item)) set(menu_[item].checked, on);
}

Panel makeInitialPanel() {
  Panel p;
  p.resetButton_ = makeButton("RESET", "Reset KALVANT  to nitial state");
  p.panicButton_ = makeButton("PANIC", "All note OFF message");
  for (const MenuItemInfo& m : kMenuItems) {
    if (!isSoundItem(m.item)) p.menu_[m.item].caption = m.caption;
  }
  return p;
}

}  // namespace kalvant

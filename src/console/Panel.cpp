#include "console/Panel.h"

namespace kalvant {

bool Panel::checked(const std::string& item) const {
  const MenuItemView* m = menuItem(item);
  return m && m->checked;
}

const MenuItemView* Panel::menuItem(const std::string& item) const {
  if (auto it = menu.find(item); it != menu.end()) return &it->second;
  if (!sound) return nullptr;
  auto it = sound->menu.find(item);
  return it == sound->menu.end() ? nullptr : &it->second;
}

namespace {

ButtonView button(const char* caption, const char* tooltip = "") {
  ButtonView b;
  b.caption = caption;
  b.tooltip = tooltip;
  return b;
}

struct MenuEntry {
  const char* name;
  const char* caption;
};

// Menu items by control name; the window arranges them in their menus.
constexpr MenuEntry kMenuItems[] = {
    {"LoadFile", "&Load  Memory File"},
    {"savefile", "&Save Memory File"},
    {"EnableCFG", "Save &Configuration on EXIT"},
    {"SaveFIXED", "Configure Free &Memories as Fixed Memories"},
    {"Exit", "&Exit"},
    {"SetMidi", "&Midi In/Out and Sysex Delay"},
    {"MidiTHRU", "Midi &Thru..."},
    {"EditCFG", "&KALVANT Stops Table Editor"},
    {"Help1", "Help"},
    {"About", "About"},
};

}  // namespace

Panel makeInitialPanel() {
  Panel p;
  p.RESET = button("RESET", "Reset KALVANT  to nitial state");
  p.Panic = button("PANIC", "All note OFF message");
  for (const MenuEntry& m : kMenuItems) p.menu[m.name].caption = m.caption;
  return p;
}

}  // namespace kalvant

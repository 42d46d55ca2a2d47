#pragma once
// Every menu item of the console window, once. The console and the sound
// settings keep their items' check marks in arrays indexed by MenuItem; the
// window builds its menus from kMenuItems and addresses its actions by the
// same enum.

#include <array>
#include <cstddef>

#include "view/Views.h"

namespace kalvant {

enum class MenuItem {
  // File
  LoadMemoryFile,
  SaveMemoryFile,
  SaveConfigurationOnExit,
  FreeMemoriesAsFixed,
  Exit,
  // Edit
  Undo,
  // Setup
  MidiSetup,
  MidiThru,
  StopsTableEditor,
  ResendRegistration,
  // Temperament, owned by the sound settings
  Equal,
  MeanTone,
  Silbermann,
  Kirnberger,
  // Reverb, owned by the sound settings
  ReverbChurch,
  ReverbCathedral,
  ReverbChapel,
  // In Setup, owned by the sound settings
  TremoloRate,
  // Help
  Help,
  About,
  // Setup, the MIDI monitor
  MidiMonitor,
};

inline constexpr std::size_t kMenuItemCount = static_cast<std::size_t>(MenuItem::MidiMonitor) + 1;

struct MenuItemInfo {
  MenuItem item;
  const char* caption;
  // The action's object name, which the style sheet and the window tests
  // address; plain ASCII.
  const char* objectName;
};

// In enum order: kMenuItems[i].item == MenuItem(i).
inline constexpr std::array<MenuItemInfo, kMenuItemCount> kMenuItems{{
    {MenuItem::LoadMemoryFile, "&Load Memory File\u2026", "LoadFile"},
    {MenuItem::SaveMemoryFile, "&Save Memory File\u2026", "savefile"},
    {MenuItem::SaveConfigurationOnExit, "Save &Configuration on Exit", "EnableCFG"},
    {MenuItem::FreeMemoriesAsFixed, "Configure Free &Memories as Fixed Memories", "SaveFIXED"},
    {MenuItem::Exit, "&Exit", "Exit"},
    {MenuItem::Undo, "&Undo", "Undo"},
    {MenuItem::MidiSetup, "&MIDI Devices and Delays\u2026", "SetMidi"},
    {MenuItem::MidiThru, "MIDI &Thru\u2026", "MidiTHRU"},
    {MenuItem::StopsTableEditor, "Stops Table &Editor\u2026", "EditCFG"},
    {MenuItem::ResendRegistration, "Re&send Registration to Module", "ResendRegistration"},
    {MenuItem::Equal, "&Equal", "Equal"},
    {MenuItem::MeanTone, "&Mean Tone", "MeanTone"},
    {MenuItem::Silbermann, "&Silbermann", "Silbermann"},
    {MenuItem::Kirnberger, "&Kirnberger", "Kirnberger"},
    {MenuItem::ReverbChurch, "&Church", "Reverb1"},
    {MenuItem::ReverbCathedral, "Ca&thedral", "Reverb2"},
    {MenuItem::ReverbChapel, "Cha&pel", "Reverb3"},
    {MenuItem::TremoloRate, "Tremolo &Rate\u2026", "tremoloRate"},
    {MenuItem::Help, "kalvant &Help", "Help1"},
    {MenuItem::About, "&About kalvant\u2026", "About"},
    {MenuItem::MidiMonitor, "MIDI M&onitor\u2026", "MidiMonitor"},
}};

constexpr std::size_t index(MenuItem item) {
  return static_cast<std::size_t>(item);
}

constexpr bool inEnumOrder() {
  for (std::size_t i = 0; i < kMenuItems.size(); ++i) {
    if (index(kMenuItems[i].item) != i) return false;
  }
  return true;
}
static_assert(inEnumOrder(), "kMenuItems is indexed by MenuItem");

constexpr const MenuItemInfo& info(MenuItem item) {
  return kMenuItems[index(item)];
}

// The temperament, reverb and tremolo-rate items are the sound settings'.
constexpr bool isSoundItem(MenuItem item) {
  return item >= MenuItem::Equal && item <= MenuItem::TremoloRate;
}

// Check marks and enabled states of menu items, indexed by MenuItem; each
// owner fills in only its own items.
struct MenuItemViews {
  std::array<MenuItemView, kMenuItemCount> items{};
  MenuItemView& operator[](MenuItem item) { return items[index(item)]; }
  const MenuItemView& operator[](MenuItem item) const { return items[index(item)]; }
  bool operator==(const MenuItemViews&) const = default;
};

// The items' captions from the table, for an owner's initial view.
inline MenuItemViews initialMenuItems() {
  MenuItemViews v;
  for (const MenuItemInfo& m : kMenuItems) v[m.item].caption = m.caption;
  return v;
}

}  // namespace kalvant

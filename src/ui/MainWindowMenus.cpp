// The console window's menus, built from a table of entries.

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>
#include <functional>
#include <optional>

#include "ui/MainWindow.h"
#include "ui/QtText.h"

namespace kalvant::ui {

namespace {

// A menu's entries in order; nullopt is a separator. Captions and object
// names come from kMenuItems.
struct MenuEntry {
  std::optional<MenuItem> item;
  std::function<void(Console&)> run;
  bool checkable = false;
};

struct MenuDef {
  const char* caption;  // null: the entries sit on the menu bar itself
  std::vector<MenuEntry> entries;
};

const std::vector<MenuDef>& menuTable() {
  static const std::vector<MenuDef> menus = {
      {"&File",
       {{MenuItem::LoadMemoryFile, &Console::Loadfile_Click},
        {MenuItem::SaveMemoryFile, &Console::savefile_Click},
        {std::nullopt, nullptr},
        {MenuItem::SaveConfigurationOnExit, &Console::EnableCFG_Click, true},
        {std::nullopt, nullptr},
        {MenuItem::FreeMemoriesAsFixed, &Console::SaveFIXED_Click},
        {std::nullopt, nullptr},
        {MenuItem::Exit, &Console::exit_Click}}},
      {"&Setup",
       {{MenuItem::MidiSetup, &Console::SetMidi_Click},
        {MenuItem::MidiThru, &Console::MidiTHRU_Click},
        {std::nullopt, nullptr},
        {MenuItem::StopsTableEditor, &Console::EditCFG_Click},
        {MenuItem::ResendRegistration, &Console::Resend_Click}}},
      {"&Temperament",
       {{MenuItem::Equal, [](Console& k) { k.Temperament_Click(0); }, true},
        {MenuItem::MeanTone, [](Console& k) { k.Temperament_Click(1); }, true},
        {MenuItem::Silbermann, [](Console& k) { k.Temperament_Click(2); }, true},
        {MenuItem::Kirnberger, [](Console& k) { k.Temperament_Click(3); }, true}}},
      {"&Reverb",
       {{MenuItem::ReverbChurch, [](Console& k) { k.Reverb_Click(0); }, true},
        {MenuItem::ReverbCathedral, [](Console& k) { k.Reverb_Click(1); }, true},
        {MenuItem::ReverbChapel, [](Console& k) { k.Reverb_Click(2); }, true}}},
      {nullptr, {{MenuItem::TremoloRate, &Console::tremoloRate_Click}}},
      {"&Help",
       {{MenuItem::Help, &Console::Help1_Click}, {MenuItem::About, &Console::About_Click}}},
  };
  return menus;
}

}  // namespace

void MainWindow::buildMenus() {
  for (const MenuDef& def : menuTable()) {
    QMenu* menu = def.caption ? menuBar()->addMenu(toQt(def.caption)) : nullptr;
    for (const MenuEntry& entry : def.entries) {
      if (!entry.item) {
        menu->addSeparator();
        continue;
      }
      const MenuItem item = *entry.item;
      auto* action = new QAction(toQt(info(item).caption), this);
      action->setObjectName(toQt(info(item).objectName));
      action->setCheckable(entry.checkable);
      // A checkable item shows the console's check, not Qt's own toggle.
      auto run = entry.run;
      connect(action, &QAction::triggered, this, [this, run, action, item] {
        if (action->isCheckable()) action->setChecked(k_.panel.checked(item));
        run(k_);
      });
      if (menu) {
        menu->addAction(action);
      } else {
        menuBar()->addAction(action);
      }
      actions_[index(item)] = action;
    }
  }
  actions_[index(MenuItem::Exit)]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

}  // namespace kalvant::ui

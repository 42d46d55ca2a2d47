// The console window's menus, built from a table of entries.

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <functional>
#include <optional>

#include "ui/MainWindow.h"
#include "ui/QtText.h"

namespace kalvant::ui {

namespace {

// How an entry shows the console's state: not at all, as a check mark, or
// as one of the menu's exclusive choices.
enum class Shows { Nothing, Check, Choice };

// A menu's entries in order; nullopt is a separator. Captions and object
// names come from kMenuItems.
struct MenuEntry {
  std::optional<MenuItem> item;
  std::function<void(Console&)> run;
  Shows shows = Shows::Nothing;
};

struct MenuDef {
  const char* caption;
  std::vector<MenuEntry> entries;
};

// Each access key is used once on the menu bar and once within each menu;
// an item that opens a dialog or a window asking for more ends in "\u2026".
const std::vector<MenuDef>& menuTable() {
  static const std::vector<MenuDef> menus = {
      {"&File",
       {{MenuItem::LoadMemoryFile, &Console::Loadfile_Click},
        {MenuItem::SaveMemoryFile, &Console::savefile_Click},
        {std::nullopt, nullptr},
        {MenuItem::SaveConfigurationOnExit, &Console::EnableCFG_Click, Shows::Check},
        {std::nullopt, nullptr},
        {MenuItem::FreeMemoriesAsFixed, &Console::SaveFIXED_Click},
        {std::nullopt, nullptr},
        {MenuItem::Exit, &Console::exit_Click}}},
      {"&Edit", {{MenuItem::Undo, &Console::Undo_Click}}},
      {"&Setup",
       {{MenuItem::MidiSetup, &Console::SetMidi_Click},
        {MenuItem::MidiThru, &Console::MidiTHRU_Click},
        {MenuItem::TremoloRate, &Console::tremoloRate_Click},
        {std::nullopt, nullptr},
        {MenuItem::StopsTableEditor, &Console::EditCFG_Click},
        {MenuItem::ResendRegistration, &Console::Resend_Click},
        {MenuItem::MidiMonitor, &Console::MidiMonitor_Click}}},
      {"&Temperament",
       {{MenuItem::Equal, [](Console& k) { k.Temperament_Click(0); }, Shows::Choice},
        {MenuItem::MeanTone, [](Console& k) { k.Temperament_Click(1); }, Shows::Choice},
        {MenuItem::Silbermann, [](Console& k) { k.Temperament_Click(2); }, Shows::Choice},
        {MenuItem::Kirnberger, [](Console& k) { k.Temperament_Click(3); }, Shows::Choice}}},
      {"&Reverb",
       {{MenuItem::ReverbChurch, [](Console& k) { k.Reverb_Click(0); }, Shows::Choice},
        {MenuItem::ReverbCathedral, [](Console& k) { k.Reverb_Click(1); }, Shows::Choice},
        {MenuItem::ReverbChapel, [](Console& k) { k.Reverb_Click(2); }, Shows::Choice}}},
      {"&Help",
       {{MenuItem::Help, &Console::Help1_Click}, {MenuItem::About, &Console::About_Click}}},
  };
  return menus;
}

}  // namespace

void MainWindow::buildMenus() {
  for (const MenuDef& def : menuTable()) {
    QMenu* menu = menuBar()->addMenu(toQt(def.caption));
    QActionGroup* choices = nullptr;
    for (const MenuEntry& entry : def.entries) {
      if (!entry.item) {
        menu->addSeparator();
        continue;
      }
      const MenuItem item = *entry.item;
      auto* action = menu->addAction(toQt(info(item).caption));
      action->setObjectName(toQt(info(item).objectName));
      action->setCheckable(entry.shows != Shows::Nothing);
      if (entry.shows == Shows::Choice) {
        if (!choices) choices = new QActionGroup(menu);  // exclusive by default
        choices->addAction(action);
      }
      // A checkable item shows the console's check, not Qt's own toggle,
      // also when the console keeps the check where it was.
      auto run = entry.run;
      connect(action, &QAction::triggered, this, [this, run, action] {
        run(k_);
        if (!action->isCheckable()) return;
        for (std::size_t i = 0; i < kMenuItemCount; ++i) {
          if (actions_[i]) actions_[i]->setChecked(k_.panel.checked(MenuItem(i)));
        }
      });
      actions_[index(item)] = action;
    }
  }
  actions_[index(MenuItem::Exit)]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  actions_[index(MenuItem::Undo)]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
}

}  // namespace kalvant::ui

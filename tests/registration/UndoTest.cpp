// Edit > Undo: what each action leaves to undo, what the undo gives back and
// sends, and the actions that leave nothing to undo.

#include <functional>

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using Act = std::function<void(Console&)>;

struct UndoCase {
  const char* name;
  Act before, action;
  std::string caption;           // "&Undo": nothing to undo
  std::vector<int> entriesSent;  // stop entries the undo sends
  Registration liveAfter;
  int currentAfter;
  const char* ledAfter;  // the current free memory's LED
  int fixedBarLitAfter;
  bool unsavedAfter;
};

class Undo : public ConsoleTest {};

TEST_F(Undo, GivesBackWhatTheLastStoreRecallOrClearReplaced) {
  const Registration saved{127, 100, 33, 0, 60, 0, 85, 1, 2, 2}, stop20{127, 127, 20};
  const Registration init = kInitialRegistration;
  const Act none = [](Console&) {};
  const Act stops20 = [](Console& c) { c.c_memory_Click(3), c.Tiranti_Click(20); };
  const Act free2 = [](Console& c) { c.c_memory_Click(2); };
  const Act rec5 = [](Console& c) { c.Rec_button_Click(), c.c_memory_Click(5); };
  const Act rec5Saved = [this, rec5](Console& c) {
    rec5(c), user.pickedFiles.push_back(path("m.sqs")), c.savefile_Click();
  };
  const Act clear = [](Console& c) { c.CANCEL_Click(); };
  const Act stored5 = [stops20, rec5](Console& c) { stops20(c), rec5(c); };
  const UndoCase cases[] = {
      // clang-format off
      {"store", stops20, rec5, "&Undo store to memory 5", {}, stop20, 5, "yellow", 0, false},
      {"store, saved", stops20, rec5Saved, "&Undo store to memory 5", {}, stop20, 5, "yellow", 0, true},
      {"recall", stops20, free2, "&Undo recall of memory 2", {20, 50, 80}, stop20, 3, "yellow", 0, false},
      {"fixed recall", free2, [](Console& c) { c.Graduatore_Click(2); },
       "&Undo recall of fixed memory 2", {33, 60, 85}, saved, 2, "on", 0, false},
      {"after a fixed recall", [](Console& c) { c.Graduatore_Click(3); }, free2,
       "&Undo recall of memory 2", {10, 50, 80}, init, 15, "", 3, false},
      {"clear", stops20, clear, "&Undo clear", {20}, stop20, 3, "yellow", 0, false},
      {"clear, unsaved", stored5, clear, "&Undo clear", {20}, stop20, 5, "on", 0, true},
      {"nothing yet", none, none, "&Undo", {}, init, 1, "off", 0, false},
      {"undone once", free2, [](Console& c) { c.Undo_Click(); }, "&Undo", {}, init, 1, "off", 0, false},
      {"RESET", free2, [](Console& c) { c.RESET_Click(); }, "&Undo", {}, init, 1, "off", 0, false},
      {"new stops table", free2, [](Console& c) { c.CARICAMENTO_DAT(); }, "&Undo", {}, saved, 2, "on", 0, false},
      {"REC, fixed memory", none, [](Console& c) { c.Rec_button_Click(), c.c_memory_Click(15); },
       "&Undo", {}, init, 15, "", 3, false},
      {"REC, same stops", none, rec5, "&Undo", {}, init, 5, "on", 0, true},
      {"recall, same stops", none, [](Console& c) { c.c_memory_Click(9); }, "&Undo", {}, init, 9, "on", 0, false},
      // clang-format on
  };
  for (const UndoCase& c : cases) {
    SCOPED_TRACE(c.name);
    restart(), k->registration().setLedPictures("on", "off", "yellow");
    startPlaying(), user.answers.assign(2, true);
    auto& bank = k->registration().bank();
    for (int m = 1; m <= 24; ++m) bank.memory(m) = m == 2 || m == 5 ? saved : init;
    if (std::string(c.name) == "REC, same stops") bank.memory(5) = init;
    c.before(*k);
    const std::array<Registration, 24> memories = bank.memories;
    c.action(*k);
    const MenuItemView& item = k->panel.menuItem(MenuItem::Undo);
    EXPECT_EQ(std::pair(item.caption, item.enabled), std::pair(c.caption, c.caption != "&Undo"));
    loop.drain(), sent.clear(), k->Undo_Click(), loop.drain();
    std::vector<int> stops;
    for (int e : sentEntries())
      if (e >= 0) stops.push_back(e);
    EXPECT_EQ(stops, c.entriesSent);
    EXPECT_EQ(bank.live, c.liveAfter);
    if (c.caption != "&Undo") {
      EXPECT_EQ(bank.memories, memories);
    }
    EXPECT_EQ(k->registration().currentMemory(), c.currentAfter);
    const CombinationsView& v = k->registration().view();
    if (c.currentAfter <= 12) {
      EXPECT_EQ(v.memoryLeds[c.currentAfter].picturePath, c.ledAfter);
    }
    int lit = 0;
    for (const ButtonView& b : v.fixedMemoryBar) lit += b.lamp == Lamp::Lit;
    EXPECT_EQ(lit, c.fixedBarLitAfter);
    EXPECT_EQ(k->registration().freeMemoriesUnsaved(), c.unsavedAfter);
    EXPECT_FALSE(k->registration().canUndo());
  }
}

}  // namespace
}  // namespace kalvant::test

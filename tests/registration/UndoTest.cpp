// Edit > Undo on the console: what each undoable action gives back, what the
// module hears, and when there is nothing to undo.

#include <functional>

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

constexpr Registration kSaved{127, 100, 33, 0, 60, 0, 85, 1, 2, 2};

class Undo_ : public ConsoleTest {
 protected:
  Undo_() {
    k->registration().setLedPictures("on", "off", "yellow"), startPlaying();
    user.answers.assign(8, true);
  }
  MemoryBank& bank() { return k->registration().bank(); }
  const MenuItemView& item() const { return k->panel.menuItem(MenuItem::Undo); }
  const std::string& led(int i) const { return k->registration().view().memoryLeds[i].picturePath; }
};

// Each row: what the organist did before the undoable action, the action,
// the caption it leaves, and after Undo the stop entries sent, the live
// registration and the memory row.
struct UndoCase {
  const char* name;
  std::function<void(Console&)> before, action;
  const char* caption;
  std::vector<int> entriesSent;  // by the undo
  Registration liveAfter;
  int currentAfter;
  const char* currentLedAfter;  // free memories only
  int fixedBarLitAfter = 0;
};

TEST_F(Undo_, EachActionIsUndoneAndTheRegistrationIsSentAgain) {
  const Registration afterStops{127, 127, 20, 0, 50, 0, 80, 0, 0, 1};
  using Act = std::function<void(Console&)>;
  const Act stops20 = [](Console& c) { c.c_memory_Click(3), c.Tiranti_Click(20); };
  const Act free2 = [](Console& c) { c.c_memory_Click(2); };
  const Act fixed2 = [](Console& c) { c.Graduatore_Click(2); };
  const Act fixed3 = [](Console& c) { c.Graduatore_Click(3); };
  const Act rec5 = [](Console& c) { c.Rec_button_Click(), c.c_memory_Click(5); };
  const Act free4 = [](Console& c) { c.c_memory_Click(4); };
  const Act clear = [](Console& c) { c.CANCEL_Click(); };
  const UndoCase cases[] = {
      // clang-format off
      {"store", stops20, rec5, "&Undo store to memory 5", {}, afterStops, 5, "yellow"},
      {"recall", stops20, free4, "&Undo recall of memory 4", {20}, afterStops, 3, "yellow"},
      {"fixed recall", free2, fixed2, "&Undo recall of fixed memory 2", {33, 60, 85}, kSaved, 2,
       "on"},
      {"recall after a fixed one", fixed3, free2, "&Undo recall of memory 2", {10, 50, 80},
       kInitialRegistration, 15, "", 3},
      {"clear", stops20, clear, "&Undo clear", {20}, afterStops, 3, "yellow"},
      // clang-format on
  };
  for (const UndoCase& c : cases) {
    SCOPED_TRACE(c.name);
    startPlaying();
    for (int m = 1; m <= 24; ++m) bank().memory(m) = m == 2 ? kSaved : kInitialRegistration;
    bank().memory(5) = kSaved;
    c.before(*k);
    const std::array<Registration, 24> memories = bank().memories;
    c.action(*k);
    EXPECT_EQ(item().caption, c.caption);
    EXPECT_TRUE(item().enabled);
    sent.clear();
    k->Undo_Click();
    loop.drain();
    std::vector<int> stops;
    for (int e : sentEntries())
      if (e >= 0) stops.push_back(e);
    EXPECT_EQ(stops, c.entriesSent);
    EXPECT_EQ(bank().live, c.liveAfter);
    EXPECT_EQ(bank().memories, memories);
    EXPECT_EQ(k->registration().currentMemory(), c.currentAfter);
    if (c.currentAfter <= 12) EXPECT_EQ(led(c.currentAfter), c.currentLedAfter);
    int lit = 0;
    for (const ButtonView& b : k->registration().view().fixedMemoryBar) lit += b.lamp == Lamp::Lit;
    EXPECT_EQ(lit, c.fixedBarLitAfter);
    EXPECT_EQ(std::pair(item().caption, item().enabled), std::pair(std::string("&Undo"), false));
  }
}

TEST_F(Undo_, NothingToUndoChangesAndSendsNothing) {
  const std::pair<const char*, std::function<void(Console&)>> cases[] = {
      {"fresh console", [](Console&) {}},
      {"undone once", [](Console& c) { c.c_memory_Click(2), c.Undo_Click(); }},
      {"RESET", [](Console& c) { c.c_memory_Click(2), c.RESET_Click(); }},
      {"REC on a fixed memory", [](Console& c) { c.Rec_button_Click(), c.c_memory_Click(15); }},
      {"REC of the same stops", [](Console& c) { c.Rec_button_Click(), c.c_memory_Click(7); }},
      {"recall of the live registration", [](Console& c) { c.c_memory_Click(9); }},
      {"new stops table", [](Console& c) { c.c_memory_Click(2), c.CARICAMENTO_DAT(); }},
  };
  for (const auto& [name, action] : cases) {
    SCOPED_TRACE(name);
    startPlaying();
    for (int m = 1; m <= 24; ++m) bank().memory(m) = m == 2 ? kSaved : kInitialRegistration;
    action(*k);
    loop.drain();
    EXPECT_EQ(std::pair(item().caption, item().enabled), std::pair(std::string("&Undo"), false));
    const MemoryBank was = bank();
    sent.clear();
    k->Undo_Click();
    loop.drain();
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(std::pair(bank().live, bank().memories), std::pair(was.live, was.memories));
  }
}

TEST_F(Undo_, UndoneStoresAndClearsAreUnsavedUnlessNothingChangedSinceTheFile) {
  k->Tiranti_Click(20), k->Rec_button_Click(), k->c_memory_Click(5);  // unsaved
  k->Undo_Click();
  EXPECT_FALSE(k->registration().freeMemoriesUnsaved());
  k->Rec_button_Click(), k->c_memory_Click(6);
  user.pickedFiles.push_back(path("six.sqs"));
  k->savefile_Click();
  ASSERT_FALSE(k->registration().freeMemoriesUnsaved());
  k->Undo_Click();  // memory 6 now differs from the file
  EXPECT_TRUE(k->registration().freeMemoriesUnsaved());
  k->CANCEL_Click();
  EXPECT_FALSE(k->registration().freeMemoriesUnsaved());
  k->Undo_Click();
  EXPECT_TRUE(k->registration().freeMemoriesUnsaved());
}

}  // namespace
}  // namespace kalvant::test

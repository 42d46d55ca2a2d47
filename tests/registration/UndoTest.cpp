// Edit > Undo: what each action leaves to undo, and what the undo gives back and sends.

#include <algorithm>
#include <functional>

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class Undo : public ConsoleTest {};

TEST_F(Undo, GivesBackWhatTheLastStoreRecallOrClearReplaced) {
  using Act = std::function<void(Console&)>;
  const Registration saved{127, 100, 33, 0, 60, 0, 85, 1, 2, 2};
  auto recall = [](int m) -> Act { return [m](Console& c) { c.c_memory_Click(m); }; };
  const Act free2 = recall(2);
  const Act none = [](Console&) {};
  const Act undo = [](Console& c) { c.Undo_Click(); };
  const Act stops20 = [](Console& c) { c.c_memory_Click(3), c.Tiranti_Click(20); };
  const Act rec5 = [](Console& c) { c.Rec_button_Click(), c.c_memory_Click(5); };
  const Act stored5 = [=](Console& c) { stops20(c), rec5(c); };
  const Act rec5Saved = [this, rec5](Console& c) {
    rec5(c), user.pickedFiles.push_back(path("m.sqs")), c.savefile_Click();
  };
  const Act clear = [](Console& c) { c.CANCEL_Click(); };
  const Act reset = [](Console& c) { c.RESET_Click(); };
  const Act table = [](Console& c) { c.CARICAMENTO_DAT(); };
  const Act blank5 = [](Console& c) { c.registration().bank().memory(5) = {}; };
  // Before, the action, its caption ("&Undo": nothing to undo), then after the undo: the stop
  // entries sent, the current memory, its LED, the fixed bars lit, the unsaved mark.
  const std::tuple<Act, Act, std::string, std::vector<int>, int, std::string, int, bool> cases[] = {
      {stops20, rec5, "&Undo store to memory 5", {}, 5, "yellow", 0, false},
      {stops20, rec5Saved, "&Undo store to memory 5", {}, 5, "yellow", 0, true},
      {stops20, free2, "&Undo recall of memory 2", {20, 50, 80}, 3, "yellow", 0, false},
      {free2, recall(14), "&Undo recall of fixed memory 2", {33, 60, 85}, 2, "on", 0, false},
      {recall(15), free2, "&Undo recall of memory 2", {10, 50, 80}, 15, "", 3, false},
      {stops20, clear, "&Undo clear", {20}, 3, "yellow", 0, false},
      {stored5, clear, "&Undo clear", {20}, 5, "on", 0, true},
      {free2, undo, "&Undo", {}, 1, "off", 0, false},
      {free2, reset, "&Undo", {}, 1, "off", 0, false},
      {free2, table, "&Undo", {}, 2, "on", 0, false},
      {none, recall(9), "&Undo", {}, 9, "on", 0, false},
      {blank5, rec5, "&Undo", {}, 5, "on", 0, true},  // memory 5 held these stops
  };
  for (const auto& [before, action, caption, entries, current, led, bars, unsaved] : cases) {
    SCOPED_TRACE(caption + " " + std::to_string(current));
    restart(), k->registration().setLedPictures("on", "off", "yellow"), startPlaying();
    user.answers.assign(2, true);
    auto& bank = k->registration().bank();
    for (int m = 1; m <= 24; ++m) bank.memory(m) = m == 2 || m == 5 ? saved : kInitialRegistration;
    before(*k);
    const std::array<Registration, 24> memories = bank.memories;
    action(*k);
    const MenuItemView& item = k->panel.menuItem(MenuItem::Undo);
    EXPECT_EQ(std::pair(item.caption, item.enabled), std::pair(caption, caption != "&Undo"));
    loop.drain(), sent.clear(), k->Undo_Click(), loop.drain();
    std::vector<int> stops = sentEntries();
    std::erase(stops, -1);
    EXPECT_EQ(stops, entries);
    EXPECT_TRUE(caption == "&Undo" || bank.memories == memories);
    const CombinationsView& v = k->registration().view();
    EXPECT_EQ(k->registration().currentMemory(), current);
    EXPECT_TRUE(current > 12 || v.memoryLeds[current].picturePath == led);
    EXPECT_EQ(std::ranges::count(v.fixedMemoryBar, Lamp::Lit, &ButtonView::lamp), bars);
    EXPECT_EQ(k->registration().freeMemoriesUnsaved(), unsaved);
    EXPECT_FALSE(k->registration().canUndo());
  }
}

}  // namespace
}  // namespace kalvant::test

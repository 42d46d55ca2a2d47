#include <algorithm>

#include "registration/MemoryFileFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

const Registration kTwelfth{90, 100, 22, 0, 62, 1, 92, 1, 2, 2};

// Twelve records, record m with Great stop 10 + m.
std::string good(const std::string& datName = "kalvant.dat") {
  MemoryFileData d{datName, 0, 100, 0, 0, 1, {}};
  for (i16 m = 1; m <= 12; ++m)
    d.records.push_back({90, 100, i16(10 + m), 0, i16(50 + m), 1, i16(80 + m), 1, 2, 2});
  return serialiseMemoryFile(d);
}

class MemoryFiles : public ConsoleTest {
 protected:
  MemoryFiles() {
    writeTable("kalvant.dat", taggedTable());
    k->Form_Load(), loop.drain();
    user.messages.clear(), user.questions.clear();  // the first start's
    openOutput();
  }
  const CombinationsView& view() const { return k->registration().view(); }
  MemoryBank& bank() { return k->registration().bank(); }
  void save(const std::string& name) {
    user.pickedFiles.push_back(path(name)), k->savefile_Click();
  }
  void load(const std::string& name, const std::string& bytes) {
    writeFile(name, bytes);
    user.pickedFiles.push_back(path(name));
    k->Loadfile_Click();
  }
  std::vector<Registration> slots(int first, int last) {
    std::vector<Registration> r;
    for (int s = first; s <= last; ++s) r.push_back(bank().memory(s));
    return r;
  }
};

TEST_F(MemoryFiles, SavingWritesTheFreeMemoriesAndClearsTheUnsavedFlag) {
  k->Rec_button_Click();
  k->c_memory_Click(2);  // stores, so the free memories are unsaved
  save("start.sqs");
  EXPECT_EQ(readFile("start.sqs"), serialiseMemoryFile({"kalvant.dat", 0, 100, 0, 0, 1, {}}));
  EXPECT_EQ(view().memoryFileText.text, "Memories saved in: " + path("start.sqs"));
  EXPECT_FALSE(k->registration().freeMemoriesUnsaved());
}

TEST_F(MemoryFiles, LoadingResetsRecallsMemoryOneAndSavesBackTheSameBytes) {
  MemoryFileData d = parseMemoryFile(good(), "").data;
  d.temperament = 3, d.tremoloValue = 110, d.tremoloController = 1, d.reverbType = 2;
  d.memoryLabelMode = 0;
  sent.clear();
  load("a.sqs", serialiseMemoryFile(d));
  EXPECT_GE(std::ranges::count(sentEntries(), 100), 1);  // the reset
  EXPECT_EQ(bank().live.GreatStop, 11);                  // memory 1
  EXPECT_EQ(k->registration().currentMemory(), 1);
  EXPECT_EQ(view().memoryFileText.text, "Memories loaded from: " + path("a.sqs"));
  const auto& s = k->s.settings;
  EXPECT_EQ(std::tuple(s.PedalTemperament, s.TremoloValue, s.TremoloController, s.ReverbType),
            std::tuple(3, 110, 1, 2));
  EXPECT_TRUE(k->panel.checked(MenuItem::Kirnberger));
  EXPECT_EQ(view().memoryLabels[2].text, "1");  // label mode 0: numbers
  EXPECT_EQ(bank().memory(12), kTwelfth);
  save("b.sqs");
  EXPECT_EQ(readFile("b.sqs"), readFile("a.sqs"));
  EXPECT_TRUE(user.messages.empty()) << user.messages[0];
}

TEST_F(MemoryFiles, TheDatNameIsComparedExactly) {
  for (const std::string name : {"kalvant.dat", "KALVANT.dat", "other.dat"}) {
    user.messages.clear();
    load("m.sqs", good(name));
    std::vector<std::string> expected;
    if (name != "kalvant.dat")
      expected.push_back("Warning! These memories were stored with the stops table " + name +
                         ", which kalvant is not playing. Load and enable that table in the "
                         "stops table editor, or the memories will recall the wrong stops.");
    EXPECT_EQ(user.messages, expected) << name;
    EXPECT_EQ(k->stopsTable.table(), taggedTable());
  }
}

// Where reading fails is the format's business; here nothing may change.
TEST_F(MemoryFiles, DamagedOrOverlongFilesAreReportedAndChangeNothing) {
  const Registration before{95, 96, 15, 0, 55, 0, 85, 0, 0, 1};
  for (int s = 1; s <= 24; ++s) bank().memory(s) = before;
  k->s.settings.TremoloValue = 105;
  std::string bytes = good();
  bytes.replace(bytes.find(" 15 "), 4, "Principale");  // line 49: record 5's Great stop
  sent.clear();
  load("bad.sqs", bytes);
  EXPECT_EQ(user.messages.at(0).rfind(
                "The memories could not be loaded: \"" + path("bad.sqs") + "\" line 49: ", 0),
            0u)
      << user.messages[0];
  EXPECT_EQ(slots(1, 24), std::vector<Registration>(24, before));
  EXPECT_EQ(k->s.settings.TremoloValue, 105);
  EXPECT_TRUE(sent.empty());
  std::string extra;
  for (int v = 0; v < 10; ++v) extra += " 33 \r\n";
  load("long.sqs", good() + extra);  // records after the twelfth are never stored
  ASSERT_EQ(user.messages.size(), 2u);
  EXPECT_NE(user.messages[1].find("line 127"), std::string::npos) << user.messages[1];
  EXPECT_EQ(bank().memory(12), kTwelfth);
  EXPECT_EQ(slots(13, 24), std::vector<Registration>(12, before));
}

TEST_F(MemoryFiles, UnsavedMemoriesAreAskedAboutBeforeTheDialog) {
  k->Rec_button_Click();
  k->c_memory_Click(1);
  load("m.sqs", good());  // answered No
  EXPECT_EQ(user.questions,
            std::vector<std::string>{
                "The free memories are not saved; loading will erase them. Continue anyway?"});
  EXPECT_TRUE(user.fileDialogs.empty());
  user.answers = {true};
  k->Loadfile_Click();
  EXPECT_EQ(user.fileDialogs, std::vector<std::string>{"Load Memories|.sqs"});
  EXPECT_EQ(bank().memory(1).GreatStop, 11);
  EXPECT_TRUE(k->registration().freeMemoriesUnsaved());  // loading leaves it as it was
}

TEST_F(MemoryFiles, ACancelledDialogReadsAndWritesNothing) {
  k->savefile_Click();
  k->Loadfile_Click();
  EXPECT_EQ(view().memoryFileText.text, "Memory file:");
  EXPECT_TRUE(sent.empty());
}

}  // namespace
}  // namespace kalvant::test

// Saving and loading the free memories from the console: the file's bytes,
// the round trip, the DAT-name warning, and damaged files.

#include <algorithm>

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class MemoryFiles : public ConsoleTest {
 protected:
  MemoryFiles() {
    writeTable("kalvant.dat", taggedTable());
    k->Form_Load();
    user.messages.clear();
    openOutput();
  }
  void save(const std::string& name) {
    user.pickedFiles.push_back(path(name));
    k->savefile_Click();
  }
  void load(const std::string& name) {
    user.pickedFiles.push_back(path(name));
    k->Loadfile_Click();
  }
  std::vector<Registration> slots(int first, int last) const {
    std::vector<Registration> r;
    for (int s = first; s <= last; ++s) r.push_back(k->s.bank.memory(s));
    return r;
  }
  // A memory file of the given lines, each ended by CR LF.
  void writeLines(const std::string& name, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    writeFile(name, bytes);
  }
  static std::vector<std::string> goodLines(const std::string& datName = "kalvant.dat") {
    std::vector<std::string> lines{datName, " 0 ", " 100 ", " 0 ", " 0 ", " 1 "};
    for (int m = 1; m <= 12; ++m) {
      for (int v : {90, 100, 10 + m, 0, 50 + m, 1, 80 + m, 1, 2, 2})
        lines.push_back(" " + std::to_string(v) + " ");
    }
    return lines;
  }
};

TEST_F(MemoryFiles, SavingAfterStartUpWritesTwelveDefaultRecords) {
  save("start.sqs");
  std::string expected = "kalvant.dat\r\n 0 \r\n 100 \r\n 0 \r\n 0 \r\n 1 \r\n";
  for (int m = 0; m < 12; ++m)
    expected += " 127 \r\n 127 \r\n 10 \r\n 0 \r\n 50 \r\n 0 \r\n 80 \r\n 0 \r\n 0 \r\n 1 \r\n";
  EXPECT_EQ(readFile("start.sqs"), expected);
  EXPECT_EQ(k->panel.Label_filememory.text, "Memory saved on:" + path("start.sqs"));
  EXPECT_EQ(user.fileDialogs.back(), "Save memories in file|.sqs");
}

TEST_F(MemoryFiles, SavingClearsTheUnsavedFlag) {
  k->s.FreeMemoriesUnsaved = true;
  save("m.sqs");
  EXPECT_FALSE(k->s.FreeMemoriesUnsaved);
}

TEST_F(MemoryFiles, ALoadSaveRoundTripKeepsEveryValue) {
  for (int m = 1; m <= 12; ++m) {
    k->s.bank.memory(m) = Registration{static_cast<std::int16_t>(80 + m),
                                       90,
                                       static_cast<std::int16_t>(10 + m),
                                       1,
                                       static_cast<std::int16_t>(60 + m),
                                       0,
                                       static_cast<std::int16_t>(81 + m % 5),
                                       2,
                                       1,
                                       3};
  }
  k->s.settings.GreatTemperament = 3;
  k->s.settings.TremoloValue = 110;
  k->s.settings.TremoloController = 1;
  k->s.settings.ReverbType = 2;
  k->s.settings.MemoryLabelMode = 0;
  const std::vector<Registration> stored = slots(1, 12);
  save("a.sqs");
  const std::string bytes = readFile("a.sqs");
  for (int m = 1; m <= 12; ++m) k->s.bank.memory(m) = kInitialRegistration;
  k->s.settings = Settings{};
  k->s.settings.DatFilePath = path("kalvant.dat");
  load("a.sqs");
  EXPECT_EQ(slots(1, 12), stored);
  EXPECT_EQ(k->s.settings.PedalTemperament, 3);
  EXPECT_EQ(k->s.settings.TremoloValue, 110);
  EXPECT_EQ(k->s.settings.TremoloController, 1);
  EXPECT_EQ(k->s.settings.ReverbType, 2);
  EXPECT_EQ(k->s.settings.MemoryLabelMode, 0);
  save("b.sqs");
  EXPECT_EQ(readFile("b.sqs"), bytes);
  EXPECT_TRUE(user.messages.empty()) << user.messages[0];
}

TEST_F(MemoryFiles, TheDatNameIsComparedExactly) {
  struct Case {
    const char* name;
    bool warned;
  };
  for (const Case c :
       {Case{"kalvant.dat", false}, Case{"KALVANT.dat", true}, Case{"other.dat", true}}) {
    user.messages.clear();
    writeLines("m.sqs", goodLines(c.name));
    load("m.sqs");
    const std::vector<std::string> expected =
        c.warned ? std::vector<std::string>{std::string(
                                                "Warning! kalvant is not configured with file : ") +
                                            c.name +
                                            "  , as required from this memory combination. Please "
                                            "enter on kalvant "
                                            "EDITOR and load requested DAT file, or your stops "
                                            "combinations would be "
                                            "incorrect."}
                 : std::vector<std::string>{};
    EXPECT_EQ(user.messages, expected) << c.name;
    EXPECT_EQ(k->s.StopsTable, taggedTable());
  }
}

TEST_F(MemoryFiles, LoadingNeverChangesTheFixedMemories) {
  const Registration fixed{100, 110, 20, 1, 60, 1, 90, 1, 1, 2};
  for (int s = 13; s <= 24; ++s) k->s.bank.memory(s) = fixed;
  writeLines("m.sqs", goodLines());
  load("m.sqs");
  EXPECT_EQ(slots(13, 24), std::vector<Registration>(12, fixed));
  EXPECT_EQ(k->s.bank.memory(12), (Registration{90, 100, 22, 0, 62, 1, 92, 1, 2, 2}));
}

TEST_F(MemoryFiles, ATemperamentOfTwoMarksSilbermannAndSendsItForEveryDivision) {
  std::vector<std::string> lines = goodLines();
  lines[1] = " 2 ";
  writeLines("m.sqs", lines);
  sent.clear();
  load("m.sqs");
  EXPECT_TRUE(k->panel.checked("Silbermann"));
  EXPECT_FALSE(k->panel.checked("Equal"));
  EXPECT_EQ(k->s.settings.SwellTemperament, 2);
  const std::vector<int> entries = sentEntries();
  const std::vector<int> silbermann{107, 108, 109};
  EXPECT_NE(std::search(entries.begin(), entries.end(), silbermann.begin(), silbermann.end()),
            entries.end());
}

TEST_F(MemoryFiles, LoadingResetsAndRecallsMemoryOne) {
  writeLines("m.sqs", goodLines());
  sent.clear();
  load("m.sqs");
  const std::vector<int> entries = sentEntries();
  ASSERT_NE(std::find(entries.begin(), entries.end(), 100), entries.end());  // the reset
  EXPECT_EQ(k->s.bank.live.GreatStop, 11);  // memory 1's Great stop
  EXPECT_EQ(k->s.CurrentMemory, 1);
  EXPECT_EQ(k->panel.Label_filememory.text, "Memory from:" + path("m.sqs"));
}

TEST_F(MemoryFiles, DamagedFilesAreReportedAndChangeNothing) {
  struct Case {
    const char* what;
    std::size_t keep;  // lines kept from a good file
    int badLine;       // 1-based, 0 for none
    const char* text;  // put on badLine
    const char* line;  // the line the message names
  };
  const Case cases[] = {
      {"ends inside a record", 20, 0, "", "line 21"},
      {"ends inside the header", 3, 0, "", "line 4"},
      {"text in a record", 126, 50, "Principale", "line 50"},
      {"text in the header", 126, 3, "fast", "line 3"},
      {"two numbers on a line", 126, 126, " 1 2 ", "line 126"},
  };
  const Registration before{95, 96, 15, 0, 55, 0, 85, 0, 0, 1};
  for (const Case& c : cases) {
    for (int s = 1; s <= 12; ++s) k->s.bank.memory(s) = before;
    k->s.settings.TremoloValue = 105;
    user.messages.clear();
    std::vector<std::string> lines = goodLines();
    lines.resize(c.keep);
    if (c.badLine) lines[static_cast<std::size_t>(c.badLine - 1)] = c.text;
    writeLines("bad.sqs", lines);
    load("bad.sqs");
    ASSERT_EQ(user.messages.size(), 1u) << c.what;
    EXPECT_NE(user.messages[0].find(c.line), std::string::npos) << user.messages[0];
    EXPECT_NE(user.messages[0].find(path("bad.sqs")), std::string::npos) << user.messages[0];
    EXPECT_EQ(slots(1, 12), std::vector<Registration>(12, before)) << c.what;
    EXPECT_EQ(k->s.settings.TremoloValue, 105) << c.what;
  }
}

TEST_F(MemoryFiles, RecordsAfterTheTwelfthAreReportedAndNeverStored) {
  std::vector<std::string> lines = goodLines();
  for (int v = 0; v < 10; ++v) lines.push_back(" 33 ");
  writeLines("long.sqs", lines);
  const Registration fixed13 = k->s.bank.memory(13);
  load("long.sqs");
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find("line 127"), std::string::npos) << user.messages[0];
  EXPECT_EQ(k->s.bank.memory(12).GreatStop, 22);
  EXPECT_EQ(k->s.bank.memory(13), fixed13);
}

TEST_F(MemoryFiles, AFileWithFewerRecordsFillsOnlyThoseMemories) {
  std::vector<std::string> lines = goodLines();
  lines.resize(6 + 2 * 10);
  const Registration before{95, 96, 15, 0, 55, 0, 85, 0, 0, 1};
  for (int s = 1; s <= 12; ++s) k->s.bank.memory(s) = before;
  writeLines("short.sqs", lines);
  load("short.sqs");
  EXPECT_EQ(k->s.bank.memory(2).GreatStop, 12);
  EXPECT_EQ(k->s.bank.memory(3), before);
}

TEST_F(MemoryFiles, UnsavedMemoriesAreAskedAboutBeforeTheDialog) {
  k->s.FreeMemoriesUnsaved = true;
  writeLines("m.sqs", goodLines());
  load("m.sqs");  // answered No
  EXPECT_EQ(user.questions,
            std::vector<std::string>{
                "Free memories unsaved: loading will erase them. Continue anyway ?"});
  EXPECT_TRUE(user.fileDialogs.empty());
  user.answers = {true};
  k->Loadfile_Click();
  EXPECT_EQ(user.fileDialogs, std::vector<std::string>{"Load memories from file|.sqs"});
  EXPECT_EQ(k->s.bank.memory(1).GreatStop, 11);
  EXPECT_TRUE(k->s.FreeMemoriesUnsaved);  // loading leaves it as it was
}

TEST_F(MemoryFiles, ACancelledDialogReadsAndWritesNothing) {
  k->savefile_Click();
  k->Loadfile_Click();
  EXPECT_EQ(k->panel.Label_filememory.text, "Memory stops file:");
  EXPECT_TRUE(sent.empty());
}

}  // namespace
}  // namespace kalvant::test

// The stops table editor: fields over the table, fullness and selection
// colours, the four states with their warnings, Load, Save, Enable and Exit,
// the reveal of the system entries, and the sysex import.

#include <algorithm>
#include <filesystem>

#include "common/Text.h"
#include "stops/DatFile.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class Editor : public ConsoleTest {
 protected:
  Editor() {
    writeTable("kalvant.dat", taggedTable());
    writeTable("other.dat", otherTable());
  }
  static StopsTable otherTable() {
    StopsTable t = taggedTable();
    t[10 + 104] = "Bourdon 16'";
    t[12] = std::string(300, '\x41');
    return t;
  }
  StopsTableEditor& ed() { return k->stopsTableEditor; }
  StopsTable& table() { return k->stopsTable.table(); }
  const EditorView& view() const { return k->stopsTableEditor.view(); }
  const EditorFieldView& field(int i) const { return view().fields[i]; }
  void open() { k->EditCFG_Click(); }
  void loadOther() {
    user.pickedFiles.push_back(path("other.dat"));
    ed().LoadDAT_Click();
  }
  void importInto(int field, const std::string& bytes, const std::string& name = "stop.syx") {
    writeFile(name, bytes);
    user.pickedFiles.push_back(path(name));
    ed().Text1_DblClick(field);
  }
};

TEST_F(Editor, FieldsShowTheTableAndSelectionMarksOneField) {
  StopsTable t = taggedTable();
  t[208] = "label 0";
  t[217] = "label 9";
  t[218] = "label 100";
  t[230] = "label 112";
  t[20] = std::string(200, '\xF0');  // grey
  t[113] = std::string(7, 'x');
  writeTable("kalvant.dat", t);
  open();
  const std::pair<int, const char*> cases[] = {
      {0, "label 0"},  {9, "label 9"},       {10, "Stop 10"},
      {99, "Stop 99"}, {100, "label 100"},   {112, "label 112"},
      {113, "PEDAL"},  {114, "GREAT ORGAN"}, {115, "SWELL ORGAN"}};
  for (const auto& [f, text] : cases) EXPECT_EQ(field(f).text, text) << f;
  EXPECT_EQ(view().statusText, path("kalvant.dat"));
  EXPECT_EQ(view().lengthText, "5 Bytes");  // the tagged entry 0
  std::array<EditorFieldView, kEditorFields> before = view().fields;
  ed().Text1_Click(20);
  ed().Text1_Click(20);  // the colour from before the first click is kept
  before[20].color = kCurrentSelected;
  EXPECT_EQ(view().fields, before);
  ed().Text1_Click(113);  // a division field: the entry with its own index
  EXPECT_EQ(field(20).color, kFullSysex);
  EXPECT_EQ(field(113).color, kCurrentSelected);
  EXPECT_EQ(view().lengthText, "7 Bytes");
  EXPECT_EQ(view().selectedText, "113");
}

TEST(EditorColours, FieldsTurnGreyAboveTheirFullnessThreshold) {
  const std::tuple<int, std::size_t, Rgb> cases[] = {
      {6, 120, kEmptySysex}, {6, 121, kFullSysex}, {112, 121, kFullSysex}, {0, 2, kEmptySysex},
      {0, 3, kFullSysex},    {5, 3, kFullSysex},   {10, 3, kFullSysex},    {50, 2, kEmptySysex},
      {80, 3, kFullSysex},   {100, 3, kFullSysex}, {11, 3, kEmptySysex},   {9, 0, kEmptySysex},
  };
  for (const auto& [entry, length, color] : cases) {
    StopsTable t;
    t[entry] = std::string(length, '\xF0');
    EXPECT_EQ(loadedColor(t, entry), color) << entry << " " << length;
  }
}

TEST_F(Editor, TypingMarksTheTableModifiedButReachesTheTableOnlyOnSave) {
  open();
  ed().Text1_Change(114, "GRAND ORGUE");
  EXPECT_TRUE(ed().modified());
  EXPECT_EQ(view().statusText, "Warning : Modified and UNSAVED Config.");
  EXPECT_EQ(table()[206], "GREAT ORGAN");

  const int raises = view().raises;
  open();  // chosen again while open: it comes forward and keeps its work
  EXPECT_EQ(view().raises, raises + 1);
  EXPECT_EQ(field(114).text, "GRAND ORGUE");
  user.answers = {true};
  loadOther();  // unloaded: a save keeps that state
  ed().Text1_Change(114, "GRAND ORGUE");
  user.pickedFiles = {path("mine.dat")};
  ed().SaveDAT_Click();
  EXPECT_EQ(table()[206], "GRAND ORGUE");
  EXPECT_EQ(readDatFile(path("mine.dat")).data[206], "GRAND ORGUE");
  EXPECT_FALSE(ed().modified());
  EXPECT_TRUE(ed().unloaded());
  EXPECT_EQ(view().statusText, "Stops table saved on: " + path("mine.dat"));
  EXPECT_EQ(k->s.settings.DatFilePath, path("kalvant.dat"));  // only Enable changes it
}

TEST_F(Editor, LoadingPutsTheTableInPlayAtOnceAndMarksItUnloaded) {
  open();
  ed().Text1_Change(3, "typed");
  user.answers = {true};
  loadOther();
  EXPECT_EQ(field(3).text,
            windows1252ToUtf8(taggedEntry(211)));  // typed names give way to the loaded table
  EXPECT_TRUE(ed().unloaded());
  EXPECT_FALSE(ed().modified());
  EXPECT_EQ(table(), otherTable());
  EXPECT_EQ(field(10).text, "Bourdon 16'");
  EXPECT_EQ(field(12).color, kFullSysex);
  EXPECT_EQ(view().statusText, "Stops table loaded from:" + path("other.dat"));
  user.answers = {true};
  ed().Uscita_abort_Click();
  EXPECT_EQ(table(), otherTable());  // closing restores nothing
  open();                            // opening again drops a table that was never enabled
  EXPECT_EQ(table(), taggedTable());
  EXPECT_FALSE(ed().unloaded());
}

// Load and Exit (or the close box) ask first when the table is modified or
// unloaded, naming what would be lost; No keeps everything.
TEST_F(Editor, WarningsFollowTheFourStates) {
  for (const bool modified : {false, true}) {
    for (const bool unloaded : {false, true}) {
      SCOPED_TRACE(::testing::Message() << modified << unloaded);
      const bool asks = modified || unloaded;
      user.answers.clear();
      open();
      if (unloaded) loadOther();
      if (modified) ed().Text1_Change(20, "x");
      user.questions.clear();
      user.fileDialogs.clear();
      ed().LoadDAT_Click();  // answered No when asked; the dialog is cancelled otherwise
      bool cancel = false;
      ed().Form_QueryUnload(cancel);  // the close box asks as Exit does; No
      ASSERT_EQ(user.questions.size(), asks ? 2u : 0u);
      for (std::string& q : user.questions)
        std::transform(q.begin(), q.end(), q.begin(), ::tolower);
      for (const std::string& q : user.questions) {
        EXPECT_EQ(q.find("modified") != std::string::npos, modified) << q;
        EXPECT_EQ(q.find("unloaded") != std::string::npos, unloaded) << q;
      }
      if (asks) {
        EXPECT_NE(user.questions[0].find("load new table anyway?"), std::string::npos);
        EXPECT_NE(user.questions[1].find("exit anyway?"), std::string::npos);
      }
      EXPECT_EQ(user.fileDialogs.size(), asks ? 0u : 1u);
      EXPECT_EQ(std::pair(ed().modified(), ed().unloaded()), std::pair(modified, unloaded));
      EXPECT_EQ(cancel, asks);
      EXPECT_EQ(view().visible, asks);
      user.answers = {true};
      ed().Uscita_abort_Click();
      EXPECT_FALSE(view().visible);
    }
  }
}

TEST_F(Editor, EnableConfiguresTheConsoleWithTheEditorsFileAndResets) {
  openOutput();
  open();
  loadOther();
  ed().Text1_Change(11, "Ottava 4'");
  ed().Enable_Click();  // No changes nothing
  EXPECT_TRUE(ed().unloaded());
  EXPECT_FALSE(exists("KALVANT.CFG"));
  sent.clear();
  user.answers = {true};
  ed().Enable_Click();
  EXPECT_FALSE(ed().modified());
  EXPECT_FALSE(ed().unloaded());
  EXPECT_EQ(k->s.settings.DatFilePath, path("other.dat"));
  EXPECT_EQ(readDatFile(path("other.dat")).data[115], "Ottava 4'");
  EXPECT_EQ(k->panel.tableFileText().text, "Stops Table: " + path("other.dat"));
  EXPECT_EQ(k->panel.registration->stopButtons[11].caption, "Ottava 4'");
  EXPECT_NE(readFile("KALVANT.CFG").find("other.dat"), std::string::npos);
  ASSERT_FALSE(sentEntries().empty());
  EXPECT_EQ(sentEntries()[0], 100);  // the module reset
}

TEST_F(Editor, FailedLoadSaveOrEnableChangeNothing) {
  open();
  ed().Text1_Change(20, "typed");
  writeFile("broken.dat", std::string(10, '\x7F'));
  const EditorView before = view();
  user.answers = {true};
  user.pickedFiles = {path("broken.dat")};
  ed().LoadDAT_Click();
  const std::string target = path("missing-folder/organ.dat");
  user.pickedFiles = {target};
  ed().SaveDAT_Click();
  ASSERT_EQ(user.messages.size(), 2u);
  EXPECT_NE(user.messages[0].find(path("broken.dat")), std::string::npos) << user.messages[0];
  EXPECT_NE(user.messages[1].find(target), std::string::npos) << user.messages[1];
  EXPECT_EQ(view(), before);
  EXPECT_EQ(table(), taggedTable());
  EXPECT_TRUE(ed().modified());
  EXPECT_FALSE(ed().unloaded());

  // Enable writes first: a table that cannot be saved is not enabled.
  std::filesystem::remove(path("kalvant.dat"));
  std::filesystem::create_directory(path("kalvant.dat"));
  user.answers = {true};
  ed().Enable_Click();
  EXPECT_EQ(user.messages.size(), 3u);
  EXPECT_FALSE(exists("KALVANT.CFG"));
}

TEST_F(Editor, FourCtrlF9PressesRevealTheSystemEntriesUntilReopened) {
  open();
  constexpr int F9 = 120, Ctrl = 2, CtrlShift = 3;
  for (int i = 0; i < 3; ++i) {
    ed().Form_KeyDown(F9, Ctrl);
    ed().Form_KeyDown(65, 0);  // other keys neither reset nor advance
    ed().Form_KeyDown(F9, CtrlShift);
    ed().Form_KeyDown(F9, 0);
  }
  EXPECT_FALSE(view().systemFrameShown);
  ed().Form_KeyDown(F9, Ctrl);
  EXPECT_TRUE(view().systemFrameShown);
  ed().Uscita_abort_Click();
  open();
  EXPECT_FALSE(view().systemFrameShown);
  for (int i = 0; i < 3; ++i) ed().Form_KeyDown(F9, Ctrl);
  EXPECT_FALSE(view().systemFrameShown);
}

TEST_F(Editor, ImportTakesTheWholeFileAndItsLengthSetsTheColour) {
  openOutput();
  open();
  const std::tuple<std::size_t, Rgb, const char*> cases[] = {
      {0, kEmptySysex, "0 Bytes"},
      {2, kEmptySysex, "2 Bytes"},
      {3, kModifiedNow, "3 Bytes"},
      {32766, kModifiedNow, "32766 Bytes"},
  };
  for (const auto& [length, color, shown] : cases) {
    importInto(30, std::string(length, '\xF0'));
    EXPECT_EQ(table()[30].size(), length);
    EXPECT_EQ(view().lengthText, shown);
    ed().Text1_Click(31);  // the field keeps the colour of its import
    EXPECT_EQ(field(30).color, color) << length;
  }
  EXPECT_TRUE(ed().modified());
  EXPECT_EQ(table()[134], "Stop 30");  // the name is not touched
  EXPECT_EQ(user.fileDialogs.back(), "Caricamento sysex |.syx");
  importInto(113, "\xF0\x41\x10\xF7");  // a division field: its own index
  EXPECT_EQ(table()[113], "\xF0\x41\x10\xF7");
  EXPECT_EQ(table()[205], "PEDAL");
  // Every byte value reaches the saved file and the module.
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  importInto(42, bytes);
  importInto(42, bytes);  // the entry is replaced, never appended to
  user.pickedFiles = {path("saved.dat")};
  ed().SaveDAT_Click();
  EXPECT_EQ(readDatFile(path("saved.dat")).data[42], bytes);
  importInto(12, "\xF0\x41\x10\x42\xF7");
  sent.clear();
  k->INVIO_SYSEX(12);
  EXPECT_EQ(bytesSent(), (std::vector<midi::Bytes>{{0xF0, 0x41, 0x10, 0x42, 0xF7}}));
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(Editor, ImportRefusesWhatCannotBeAnEntryAndLeavesTheEntry) {
  open();
  std::filesystem::create_directory(path("folder.syx"));  // chosen, but no file to read
  user.pickedFiles = {path("folder.syx"), path("removed.syx")};
  ed().Text1_DblClick(30);
  ed().Command2_Click();
  importInto(30, std::string(32767, '\xF0'));
  importInto(30, std::string(70000, '\xF0'));
  ASSERT_EQ(user.messages.size(), 4u);
  EXPECT_NE(user.messages[1].find(path("removed.syx")), std::string::npos) << user.messages[1];
  EXPECT_NE(user.messages[2].find("32767"), std::string::npos) << user.messages[2];
  EXPECT_NE(user.messages[3].find("70000"), std::string::npos) << user.messages[3];
  ed().Text1_DblClick(30);  // cancelled
  EXPECT_EQ(table()[30], taggedEntry(30));
  EXPECT_EQ(field(30).color, kCurrentSelected);
  EXPECT_FALSE(ed().modified());
}

}  // namespace
}  // namespace kalvant::test

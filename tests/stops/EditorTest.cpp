#include <algorithm>
#include <filesystem>

#include "common/Text.h"
#include "stops/DatFile.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

StopsTable otherTable() {
  StopsTable t = taggedTable();
  t[114] = "Bourdon 16'", t[12] = std::string(300, '\x41');
  return t;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class Editor : public ConsoleTest {
 protected:
  Editor() { writeTable("kalvant.dat", taggedTable()), writeTable("other.dat", otherTable()); }
  StopsTableEditor& ed() { return k->stopsTableEditor; }
  StopsTable& table() { return k->stopsTable.table(); }
  const EditorView& view() const { return k->stopsTableEditor.view(); }
  const EditorFieldView& field(int i) const { return view().fields[i]; }
  void open() { k->EditCFG_Click(); }
  void loadOther() { user.pickedFiles.push_back(path("other.dat")), ed().LoadDAT_Click(); }
  void importInto(int field, const std::string& bytes, const std::string& name = "stop.syx") {
    writeFile(name, bytes);
    user.pickedFiles.push_back(path(name));
    ed().Text1_DblClick(field);
  }
  std::pair<bool, bool> state() { return {ed().modified(), ed().unloaded()}; }
};

TEST_F(Editor, FieldsShowTheTableAndSelectionMarksOneField) {
  StopsTable t = taggedTable();
  t[208] = "label 0", t[217] = "label 9", t[218] = "label 100", t[230] = "label 112";
  t[20] = std::string(200, '\xF0'), t[113] = std::string(7, 'x');
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
  EXPECT_EQ(std::pair(field(20).color, field(113).color), std::pair(kFullSysex, kCurrentSelected));
  EXPECT_EQ(view().lengthText + view().selectedText, "7 Bytes113");
}

TEST(EditorColours, FieldsTurnGreyAboveTheirFullnessThreshold) {
  const std::tuple<int, std::size_t, Rgb> cases[] = {
      {6, 120, kEmptySysex}, {6, 121, kFullSysex}, {112, 121, kFullSysex}, {0, 2, kEmptySysex},
      {0, 3, kFullSysex},    {5, 3, kFullSysex},   {10, 3, kFullSysex},    {50, 2, kEmptySysex},
      {80, 3, kFullSysex},   {100, 3, kFullSysex}, {11, 3, kEmptySysex},   {9, 0, kEmptySysex}};
  for (const auto& [entry, length, color] : cases) {
    StopsTable t;
    t[entry] = std::string(length, '\xF0');
    EXPECT_EQ(loadedColor(t, entry), color) << entry << " " << length;
  }
}

TEST_F(Editor, TypingMarksTheTableModifiedButReachesTheTableOnlyOnSave) {
  open();
  ed().Text1_Change(114, "GRAND ORGUE");
  EXPECT_EQ(view().statusText, "Warning: modified and not saved.");
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
  EXPECT_EQ(state(), std::pair(false, true));
  EXPECT_EQ(view().statusText, "Stops table saved in: " + path("mine.dat"));
  EXPECT_EQ(k->s.settings.DatFilePath, path("kalvant.dat"));  // only Enable changes it
}

TEST_F(Editor, LoadingPutsTheTableInPlayAtOnceAndMarksItUnloaded) {
  open();
  ed().Text1_Change(3, "typed");
  user.answers = {true};
  loadOther();
  EXPECT_EQ(field(3).text, windows1252ToUtf8(taggedEntry(211)));  // typed names give way
  EXPECT_EQ(state(), std::pair(false, true));
  EXPECT_EQ(table(), otherTable());
  EXPECT_EQ(std::pair(field(10).text, field(12).color),
            std::pair(std::string("Bourdon 16'"), kFullSysex));
  EXPECT_EQ(view().statusText, "Stops table loaded from: " + path("other.dat"));
  EXPECT_EQ(k->s.settings.DatFilePath, path("kalvant.dat"));
  user.answers = {true};
  ed().Uscita_abort_Click();
  EXPECT_EQ(table(), otherTable());  // closing restores nothing
  open();                            // opening again drops a table that was never enabled
  EXPECT_EQ(table(), taggedTable());
  EXPECT_FALSE(ed().unloaded());
  EXPECT_EQ(ed().datPath(), path("kalvant.dat"));
}

// Load and Exit (or the close box) ask first when the table is modified or unloaded,
// naming what would be lost; No keeps everything.
TEST_F(Editor, WarningsFollowTheFourStates) {
  for (const auto& [modified, unloaded] :
       {std::pair(false, false), {false, true}, {true, false}, {true, true}}) {
    const bool asks = modified || unloaded;
    user.answers.clear();
    open();
    if (unloaded) loadOther();
    if (modified) ed().Text1_Change(20, "x");
    user.questions.clear(), user.fileDialogs.clear();
    ed().LoadDAT_Click();  // answered No when asked; the dialog is cancelled otherwise
    bool cancel = false;
    ed().Form_QueryUnload(cancel);  // the close box asks as Exit does; No
    ASSERT_EQ(user.questions.size(), asks ? 2u : 0u) << modified << unloaded;
    for (std::string& q : user.questions) {
      std::transform(q.begin(), q.end(), q.begin(), ::tolower);
      EXPECT_EQ(std::pair(has(q, "modified"), has(q, "not enabled")),
                std::pair(modified, unloaded));
    }
    EXPECT_TRUE(!asks || (has(user.questions[0], "load another table anyway?") &&
                          has(user.questions[1], "close the editor anyway?")));
    EXPECT_EQ(std::tuple(user.fileDialogs.size(), state(), cancel, view().visible),
              std::tuple(asks ? 0u : 1u, std::pair(modified, unloaded), asks, asks));
    user.answers = {true};
    ed().Uscita_abort_Click();
    EXPECT_FALSE(view().visible);
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
  EXPECT_EQ(state(), std::pair(false, false));
  EXPECT_EQ(k->s.settings.DatFilePath, path("other.dat"));
  EXPECT_EQ(readDatFile(path("other.dat")).data[115], "Ottava 4'");
  EXPECT_EQ(k->panel.tableFileText().text, "Stops Table: " + path("other.dat"));
  EXPECT_EQ(k->registration().view().stopButtons[11].caption, "Ottava 4'");
  EXPECT_TRUE(has(readFile("KALVANT.CFG"), "other.dat"));
  EXPECT_EQ(sentEntries().at(0), 100);  // the module reset
}

TEST_F(Editor, FailedLoadSaveOrEnableChangeNothing) {
  open();
  ed().Text1_Change(20, "typed");
  writeFile("broken.dat", std::string(10, '\x7F'));
  const EditorView before = view();
  user.answers = {true};
  user.pickedFiles = {path("broken.dat"), path("missing-folder/organ.dat")};
  ed().LoadDAT_Click();
  ed().SaveDAT_Click();
  ASSERT_EQ(user.messages.size(), 2u);
  EXPECT_TRUE(has(user.messages[0], path("broken.dat"))) << user.messages[0];
  EXPECT_TRUE(has(user.messages[1], path("missing-folder/organ.dat"))) << user.messages[1];
  EXPECT_EQ(view(), before);
  EXPECT_EQ(table(), taggedTable());
  EXPECT_EQ(state(), std::pair(true, false));
  EXPECT_EQ(ed().datPath(), path("kalvant.dat"));
  EXPECT_FALSE(exists("missing-folder"));
  std::filesystem::remove(path("kalvant.dat"));  // Enable writes first: unsaveable, not enabled
  std::filesystem::create_directory(path("kalvant.dat"));
  user.answers = {true};
  ed().Enable_Click();
  EXPECT_EQ(user.messages.size(), 3u);
  EXPECT_FALSE(exists("KALVANT.CFG"));
}

TEST_F(Editor, FourCtrlF9PressesRevealTheSystemEntriesUntilReopened) {
  open();
  constexpr int F9 = 120, Ctrl = 2;
  for (int i = 0; i < 3; ++i)  // other keys and modifiers neither reset nor advance
    for (const auto& [key, shift] : {std::pair(F9, Ctrl), {65, 0}, {F9, 3}, {F9, 0}})
      ed().Form_KeyDown(key, shift);
  EXPECT_FALSE(view().systemFrameShown);
  ed().Form_KeyDown(F9, Ctrl);
  EXPECT_TRUE(view().systemFrameShown);
  ed().Uscita_abort_Click();
  open();
  for (int i = 0; i < 3; ++i) ed().Form_KeyDown(F9, Ctrl);
  EXPECT_FALSE(view().systemFrameShown);
}

TEST_F(Editor, ImportTakesTheWholeFileAndItsLengthSetsTheColour) {
  open();
  const std::tuple<std::size_t, Rgb> cases[] = {
      {0, kEmptySysex}, {2, kEmptySysex}, {3, kModifiedNow}, {32766, kModifiedNow}};
  for (const auto& [length, color] : cases) {
    importInto(30, std::string(length, '\xF0'));
    EXPECT_EQ(table()[30].size(), length);
    EXPECT_EQ(view().lengthText, std::to_string(length) + " Bytes");
    ed().Text1_Click(31);  // the field keeps the colour of its import
    EXPECT_EQ(field(30).color, color) << length;
  }
  EXPECT_TRUE(ed().modified());
  EXPECT_EQ(table()[134], "Stop 30");   // the name is not touched
  importInto(113, "\xF0\x41\x10\xF7");  // a division field: its own index
  EXPECT_EQ(table()[113] + table()[205], "\xF0\x41\x10\xF7PEDAL");
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  importInto(42, bytes);
  importInto(42, bytes);  // the entry is replaced, never appended to
  user.pickedFiles = {path("saved.dat")};
  ed().SaveDAT_Click();
  EXPECT_EQ(readDatFile(path("saved.dat")).data[42], bytes);
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
  ed().Text1_DblClick(30);  // cancelled
  ASSERT_EQ(user.messages.size(), 4u);
  EXPECT_TRUE(has(user.messages[1], path("removed.syx"))) << user.messages[1];
  EXPECT_TRUE(has(user.messages[2], "32767") && has(user.messages[3], "70000"));
  EXPECT_EQ(table()[30], taggedEntry(30));
  EXPECT_EQ(field(30).color, kCurrentSelected);
  EXPECT_FALSE(ed().modified());
}

}  // namespace
}  // namespace kalvant::test

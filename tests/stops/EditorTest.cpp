// The stops table editor: fields over the table, fullness colours, the
// selection colours, the four states with their warnings, Load, Save, Enable
// and Exit, and the reveal of the system entries.

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
  Compilatore& ed() { return k->compilatore; }
  const EditorFieldView& field(int i) const { return k->panel.compilatore.Text1[i]; }
  const EditorView& view() const { return k->panel.compilatore; }
  void open() { k->EditCFG_Click(); }
  void loadOther() {
    user.pickedFiles.push_back(path("other.dat"));
    ed().LoadDAT_Click();
  }
};

TEST_F(Editor, FieldsShowTheNamesAndLabelsOfTheTable) {
  StopsTable t = taggedTable();
  t[208] = "label 0";
  t[217] = "label 9";
  t[218] = "label 100";
  t[230] = "label 112";
  writeTable("kalvant.dat", t);
  open();
  struct Case {
    int field;
    const char* text;
  };
  const Case cases[] = {{0, "label 0"},  {9, "label 9"},       {10, "Stop 10"},
                        {99, "Stop 99"}, {100, "label 100"},   {112, "label 112"},
                        {113, "PEDAL"},  {114, "GREAT ORGAN"}, {115, "SWELL ORGAN"}};
  for (const Case& c : cases) EXPECT_EQ(field(c.field).text, c.text) << c.field;
  EXPECT_TRUE(view().visible);
  EXPECT_EQ(view().File_label, path("kalvant.dat"));
  EXPECT_EQ(view().File_labelColor, kEmptySysex);
  EXPECT_EQ(view().Label4, "5 Bytes");  // the tagged entry 0
  EXPECT_EQ(view().Label2, "0");
}

TEST_F(Editor, StopFieldsCountTheirStopsFromOneInEachDivision) {
  open();
  struct Case {
    int field;
    const char* tooltip;
  };
  const Case cases[] = {
      {10, "Double Click to load GREAT sysex file on field 1"},
      {49, "Double Click to load GREAT sysex file on field 40"},
      {50, "Double Click to load SWELL sysex file on field 1"},
      {79, "Double Click to load SWELL sysex file on field 30"},
      {80, "Double Click to load PEDAL sysex file on field 1"},
      {99, "Double Click to load PEDAL sysex file on field 20"},
      {113, "Change PEDAL text as you want"},
      {114, "Change GREAT  text as you want"},
  };
  for (const Case& c : cases) EXPECT_EQ(field(c.field).tooltip, c.tooltip) << c.field;
}

TEST_F(Editor, FieldsTurnGreyAboveTheirFullnessThreshold) {
  struct Case {
    int entry;
    std::size_t length;
    Rgb color;
  };
  const Case cases[] = {
      {6, 120, kEmptySysex},  {6, 121, kFullSysex}, {42, 120, kEmptySysex}, {42, 121, kFullSysex},
      {112, 121, kFullSysex}, {0, 2, kEmptySysex},  {0, 3, kFullSysex},     {5, 3, kFullSysex},
      {10, 3, kFullSysex},    {50, 2, kEmptySysex}, {80, 3, kFullSysex},    {100, 3, kFullSysex},
      {11, 3, kEmptySysex},   {9, 0, kEmptySysex},
  };
  for (const Case& c : cases) {
    StopsTable t = taggedTable();
    t[c.entry] = std::string(c.length, '\xF0');
    writeTable("kalvant.dat", t);
    ed().Form_Load();
    EXPECT_EQ(field(c.entry).color, c.color) << c.entry << " " << c.length;
  }
}

TEST_F(Editor, FirstSelectionColoursOnlyTheClickedField) {
  open();
  std::array<EditorFieldView, kEditorFields> before = view().Text1;
  ed().Text1_Click(42);
  before[42].color = kCurrentSelected;
  EXPECT_EQ(view().Text1, before);
  EXPECT_EQ(ed().SelectedIndex, 42);
  EXPECT_EQ(view().Label2, "42");
}

TEST_F(Editor, SelectingAnotherFieldGivesTheFirstItsColourBack) {
  StopsTable t = taggedTable();
  t[20] = std::string(200, '\xF0');  // grey
  writeTable("kalvant.dat", t);
  open();
  ed().Text1_Click(20);
  ed().Text1_Click(21);
  EXPECT_EQ(field(20).color, kFullSysex);
  EXPECT_EQ(field(21).color, kCurrentSelected);
  EXPECT_EQ(view().Label4, "5 Bytes");
}

TEST_F(Editor, TheSameFieldTwiceRemembersItsColourFromBeforeTheFirstClick) {
  StopsTable t = taggedTable();
  t[20] = std::string(200, '\xF0');
  writeTable("kalvant.dat", t);
  open();
  ed().Text1_Click(20);
  ed().Text1_Click(20);
  EXPECT_EQ(field(20).color, kCurrentSelected);
  ed().Text1_Click(21);
  EXPECT_EQ(field(20).color, kFullSysex);
}

TEST_F(Editor, DivisionFieldsShowTheLengthOfTheEntryWithTheirIndex) {
  open();
  k->s.StopsTable[113] = std::string(7, 'x');
  ed().Text1_Click(113);
  EXPECT_EQ(view().Label4, "7 Bytes");
  EXPECT_EQ(view().Label2, "113");
}

TEST_F(Editor, TypingMarksTheTableModifiedButReachesTheTableOnlyOnSave) {
  open();
  ed().Text1_Change(114, "GRAND ORGUE");
  EXPECT_TRUE(ed().TableModified);
  EXPECT_EQ(view().File_label, "Warning : Modified and UNSAVED Config.");
  EXPECT_EQ(view().File_labelColor, kModifiedNow);
  EXPECT_EQ(k->s.StopsTable[206], "GREAT ORGAN");
  user.pickedFiles = {path("mine.dat")};
  ed().SaveDAT_Click();
  EXPECT_EQ(k->s.StopsTable[206], "GRAND ORGUE");
  EXPECT_EQ(readDatFile(path("mine.dat")).table[206], "GRAND ORGUE");
  EXPECT_FALSE(ed().TableModified);
  EXPECT_EQ(view().File_label, "Stops table saved on: " + path("mine.dat"));
  EXPECT_EQ(view().File_labelColor, kEmptySysex);
  EXPECT_EQ(k->s.settings.DatFilePath, path("kalvant.dat"));  // only Enable changes it
}

TEST_F(Editor, LoadingPutsTheTableInUseAtOnceAndMarksItUnloaded) {
  open();
  ed().Text1_Change(3, "typed");
  user.answers = {true};
  loadOther();
  EXPECT_EQ(field(3).text, taggedEntry(211));  // typed names give way to the loaded table
  EXPECT_TRUE(ed().TableUnloaded);
  EXPECT_FALSE(ed().TableModified);
  EXPECT_EQ(k->s.StopsTable, otherTable());
  EXPECT_EQ(field(10).text, "Bourdon 16'");
  EXPECT_EQ(field(12).color, kFullSysex);
  EXPECT_EQ(view().File_label, "Stops table loaded from:" + path("other.dat"));
  EXPECT_EQ(view().File_labelColor, kModifiedNow);
  EXPECT_EQ(ed().EditorDatPath, path("other.dat"));
  EXPECT_EQ(k->s.settings.DatFilePath, path("kalvant.dat"));
}

TEST_F(Editor, WarningsFollowTheFourStates) {
  struct Case {
    bool modified, unloaded;
    const char* load;  // "" when nothing is asked
    const char* exit;
  };
  const Case cases[] = {
      {false, false, "", ""},
      {true, false, " Warning! Stops Table is modified but Unsaved. Load new Table Anyway?",
       " Warning! Stops Table is Modified but Unsaved. Exit Anyway?"},
      {false, true, " Warning! Current Stops Table is Unloaded in kalvant. Load new Table Anyway?",
       " Warning! Current Stops Table is Unloaded in kalvant. Exit Anyway?"},
      {true, true,
       "Stops Table is modified but Unsaved and Unloaded in kalvant. Load new Table anyway?",
       " Warning! Stops Table is modified but Unsaved and Unloaded in kalvant. Exit Anyway?"},
  };
  for (const Case& c : cases) {
    user.answers.clear();
    open();
    if (c.unloaded) loadOther();
    if (c.modified) ed().Text1_Change(20, "x");
    user.questions.clear();
    user.fileDialogs.clear();
    ed().LoadDAT_Click();  // answered No when asked; the dialog is cancelled otherwise
    EXPECT_EQ(user.questions,
              *c.load ? std::vector<std::string>{c.load} : std::vector<std::string>{});
    EXPECT_EQ(user.fileDialogs.size(), *c.load ? 0u : 1u);
    EXPECT_EQ(ed().TableModified, c.modified);
    EXPECT_EQ(ed().TableUnloaded, c.unloaded);
    user.questions.clear();
    ed().Uscita_abort_Click();  // No
    EXPECT_EQ(user.questions,
              *c.exit ? std::vector<std::string>{c.exit} : std::vector<std::string>{});
    EXPECT_EQ(view().visible, *c.exit != '\0');
    user.answers = {true};
    ed().Uscita_abort_Click();
    EXPECT_FALSE(view().visible);
  }
}

TEST_F(Editor, TheCloseBoxAsksLikeExit) {
  open();
  ed().Text1_Change(20, "x");
  bool cancel = false;
  ed().Form_QueryUnload(cancel);
  EXPECT_TRUE(cancel);
  EXPECT_TRUE(view().visible);
  ASSERT_EQ(user.questions.size(), 1u);
  EXPECT_EQ(user.questions[0], " Warning! Stops Table is Modified but Unsaved. Exit Anyway?");
  user.answers = {true};
  ed().Form_QueryUnload(cancel);
  EXPECT_FALSE(cancel);
  EXPECT_FALSE(view().visible);
}

TEST_F(Editor, SaveDoesNotClearTheUnloadedState) {
  open();
  loadOther();
  ed().Text1_Change(20, "x");
  user.pickedFiles = {path("copy.dat")};
  ed().SaveDAT_Click();
  EXPECT_FALSE(ed().TableModified);
  EXPECT_TRUE(ed().TableUnloaded);
}

TEST_F(Editor, EnableWithNoChangeStillRewritesFilesAndResets) {
  openOutput();
  open();
  writeFile("kalvant.dat", "");  // the editor's file is written again from the table
  sent.clear();
  user.answers = {true};
  ed().Enable_Click();
  EXPECT_EQ(user.questions,
            std::vector<std::string>{
                "Warning : kalvant will be configured with current data : proceed anyway?"});
  EXPECT_EQ(readDatFile(path("kalvant.dat")).table, taggedTable());
  EXPECT_TRUE(exists("KALVANT.CFG"));
  EXPECT_EQ(view().File_label, "Stops Table is Enabled and Saved on: " + path("kalvant.dat"));
  ASSERT_FALSE(sentEntries().empty());
  EXPECT_EQ(sentEntries()[0], 100);  // the module reset
}

TEST_F(Editor, EnableConfiguresTheConsoleWithTheEditorsFile) {
  open();
  loadOther();
  ed().Text1_Change(11, "Ottava 4'");
  user.answers = {true};
  ed().Enable_Click();
  EXPECT_FALSE(ed().TableModified);
  EXPECT_FALSE(ed().TableUnloaded);
  EXPECT_EQ(k->s.settings.DatFilePath, path("other.dat"));
  EXPECT_EQ(k->panel.Label_fileDAT.text, "Stops Table: " + path("other.dat"));
  EXPECT_EQ(k->panel.Tiranti[10].caption, "Bourdon 16'");
  EXPECT_EQ(k->panel.Tiranti[11].caption, "Ottava 4'");
  EXPECT_NE(readFile("KALVANT.CFG").find("other.dat"), std::string::npos);
}

TEST_F(Editor, NoToEnableChangesNothing) {
  open();
  loadOther();
  ed().Enable_Click();
  EXPECT_TRUE(ed().TableUnloaded);
  EXPECT_EQ(k->s.settings.DatFilePath, path("kalvant.dat"));
  EXPECT_FALSE(exists("KALVANT.CFG"));
}

TEST_F(Editor, AnUnreadableTableIsReportedOnceAndChangesNothing) {
  open();
  ed().Text1_Change(20, "typed");
  writeFile("broken.dat", std::string(10, '\x7F'));
  const EditorView before = view();
  user.answers = {true};
  user.pickedFiles = {path("broken.dat")};
  ed().LoadDAT_Click();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find(path("broken.dat")), std::string::npos) << user.messages[0];
  EXPECT_EQ(view(), before);
  EXPECT_EQ(k->s.StopsTable, taggedTable());
  EXPECT_TRUE(ed().TableModified);
  EXPECT_FALSE(ed().TableUnloaded);
  EXPECT_EQ(ed().EditorDatPath, path("kalvant.dat"));
}

TEST_F(Editor, AFailedSaveLeavesNoFileAndChangesNothing) {
  open();
  ed().Text1_Change(20, "typed");
  const std::string target = path("missing-folder/organ.dat");
  user.pickedFiles = {target};
  ed().SaveDAT_Click();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find(target), std::string::npos) << user.messages[0];
  EXPECT_FALSE(exists("missing-folder"));
  EXPECT_EQ(k->s.StopsTable[124], "Stop 20");
  EXPECT_TRUE(ed().TableModified);
  EXPECT_EQ(ed().EditorDatPath, path("kalvant.dat"));
  EXPECT_EQ(view().File_label, "Warning : Modified and UNSAVED Config.");
}

TEST_F(Editor, EnableThatCannotSaveLeavesTheConsoleAlone) {
  open();
  ed().EditorDatPath = path("missing-folder/organ.dat");
  user.answers = {true};
  ed().Enable_Click();
  EXPECT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(k->s.settings.DatFilePath, path("kalvant.dat"));
  EXPECT_FALSE(exists("KALVANT.CFG"));
}

TEST_F(Editor, OpeningAgainDropsATableThatWasNeverEnabled) {
  open();
  loadOther();
  user.answers = {true};
  ed().Uscita_abort_Click();
  EXPECT_EQ(k->s.StopsTable, otherTable());  // closing restores nothing
  open();
  EXPECT_EQ(k->s.StopsTable, taggedTable());
  EXPECT_FALSE(ed().TableUnloaded);
  EXPECT_EQ(ed().EditorDatPath, path("kalvant.dat"));
}

TEST_F(Editor, FourCtrlF9PressesRevealTheSystemEntries) {
  open();
  constexpr int F9 = 120, Ctrl = 2, CtrlShift = 3;
  for (int i = 0; i < 3; ++i) {
    ed().Form_KeyDown(F9, Ctrl);
    ed().Form_KeyDown(65, 0);  // other keys neither reset nor advance
    ed().Form_KeyDown(F9, CtrlShift);
    ed().Form_KeyDown(F9, 0);
  }
  EXPECT_FALSE(view().Frame_reserved);
  ed().Form_KeyDown(F9, Ctrl);
  EXPECT_TRUE(view().Frame_reserved);
  ed().Uscita_abort_Click();
  open();
  EXPECT_FALSE(view().Frame_reserved);
  EXPECT_EQ(ed().RevealCount, 0);
}

TEST_F(Editor, ChoosingTheEditorAgainWhileOpenKeepsItsWork) {
  open();
  ed().Text1_Change(20, "typed");
  const int raises = view().raises;
  open();
  EXPECT_TRUE(ed().TableModified);
  EXPECT_EQ(field(20).text, "typed");
  EXPECT_EQ(view().raises, raises + 1);
}

}  // namespace
}  // namespace kalvant::test

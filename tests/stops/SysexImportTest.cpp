// Importing raw sysex files into the selected stops-table entry.

#include <filesystem>

#include "stops/DatFile.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class SysexImport : public ConsoleTest {
 protected:
  SysexImport() {
    writeTable("kalvant.dat", taggedTable());
    k->EditCFG_Click();
  }
  Compilatore& ed() { return k->compilatore; }
  const EditorView& view() const { return k->panel.compilatore; }
  // Double-clicks a field and picks a file of the given bytes.
  void importInto(int field, const std::string& bytes, const std::string& name = "stop.syx") {
    writeFile(name, bytes);
    user.pickedFiles.push_back(path(name));
    ed().Text1_DblClick(field);
  }
};

TEST_F(SysexImport, TheEntryTakesTheWholeFileAndItsLengthSetsTheColour) {
  struct Case {
    std::size_t length;
    Rgb color;
    const char* shown;
  };
  const Case cases[] = {
      {0, kEmptySysex, "0 Bytes"},
      {2, kEmptySysex, "2 Bytes"},
      {3, kModifiedNow, "3 Bytes"},
      {32766, kModifiedNow, "32766 Bytes"},
  };
  for (const Case& c : cases) {
    importInto(30, std::string(c.length, '\xF0'));
    EXPECT_EQ(k->s.StopsTable[30].size(), c.length);
    EXPECT_EQ(view().Label4, c.shown);
    EXPECT_EQ(view().Text1[30].color, c.color) << c.length;
    // The field keeps the colour of its import when another one is selected.
    ed().Text1_Click(31);
    EXPECT_EQ(view().Text1[30].color, c.color) << c.length;
    EXPECT_TRUE(ed().TableModified);
    EXPECT_EQ(k->s.StopsTable[134], "Stop 30");  // the name is not touched
  }
  EXPECT_EQ(view().File_label, "Warning: configuration is modified and UNSAVED!");
  EXPECT_EQ(view().File_labelColor, kModifiedNow);
  EXPECT_EQ(user.fileDialogs.back(), "Caricamento sysex |.syx");
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(SysexImport, AFileTooLongForAnEntryIsRefusedBeforeTheEntryIsTouched) {
  for (std::size_t length : {std::size_t{32767}, std::size_t{70000}}) {
    user.messages.clear();
    importInto(30, std::string(length, '\xF0'));
    ASSERT_EQ(user.messages.size(), 1u) << length;
    EXPECT_NE(user.messages[0].find(std::to_string(length)), std::string::npos);
    EXPECT_EQ(k->s.StopsTable[30], taggedEntry(30));
    EXPECT_EQ(view().Text1[30].color, kCurrentSelected);
    EXPECT_FALSE(ed().TableModified);
  }
}

TEST_F(SysexImport, AFileThatCannotBeReadLeavesTheEntryAndSaysWhy) {
  std::filesystem::create_directory(path("folder.syx"));  // chosen, but no file to read
  user.pickedFiles = {path("folder.syx"), path("removed.syx")};
  ed().Text1_DblClick(30);
  ed().Command2_Click();
  ASSERT_EQ(user.messages.size(), 2u);
  EXPECT_NE(user.messages[1].find(path("removed.syx")), std::string::npos) << user.messages[1];
  EXPECT_EQ(k->s.StopsTable[30], taggedEntry(30));
  EXPECT_FALSE(ed().TableModified);
}

TEST_F(SysexImport, CancelOrAnotherExtensionChangesNothing) {
  ed().Text1_DblClick(30);  // cancelled
  writeFile("stop.mid", "\xF0\x41\xF7");
  user.pickedFiles = {path("stop.mid")};
  ed().Command2_Click();
  EXPECT_EQ(user.messages, std::vector<std::string>{"Unauthorized file"});
  EXPECT_EQ(k->s.StopsTable[30], taggedEntry(30));
  EXPECT_FALSE(ed().TableModified);
  EXPECT_EQ(view().Text1[30].color, kCurrentSelected);
}

TEST_F(SysexImport, EveryByteValueReachesTheEntryAndTheSavedFile) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  importInto(42, bytes);
  importInto(42, bytes);  // the entry is replaced, never appended to
  EXPECT_EQ(k->s.StopsTable[42], bytes);
  user.pickedFiles = {path("saved.dat")};
  ed().SaveDAT_Click();
  EXPECT_EQ(readDatFile(path("saved.dat")).table[42], bytes);
}

TEST_F(SysexImport, ADivisionNameFieldImportsIntoTheEntryWithItsIndex) {
  importInto(113, "\xF0\x41\x10\xF7");
  EXPECT_EQ(k->s.StopsTable[113], "\xF0\x41\x10\xF7");
  EXPECT_EQ(k->s.StopsTable[205], "PEDAL");
}

TEST_F(SysexImport, TheConsoleSendsTheImportedBytesNextTime) {
  openOutput();
  importInto(12, "\xF0\x41\x10\x42\xF7");
  sent.clear();
  k->INVIO_SYSEX(12);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes, (midi::Bytes{0xF0, 0x41, 0x10, 0x42, 0xF7}));
}

}  // namespace
}  // namespace kalvant::test

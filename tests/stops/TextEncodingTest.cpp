// Text between the files and the screen: a program directory with a
// non-ASCII name gives the views its real UTF-8 paths, stop names stored as
// Windows-1252 show as UTF-8, and the editor writes them back byte for byte.

#include <filesystem>

#include "console/CfgFormat.h"
#include "stops/DatFile.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

// The console's program directory is ".../André".
class AccentedProgramDir : public ConsoleTest {
 protected:
  AccentedProgramDir() : parent_(dir) {
    dir = parent_ + "/Andr\xC3\xA9";
    std::filesystem::create_directory(dir);
    k = std::make_unique<Console>(ConsoleWorld{user, loop, in1, in2, out, dir});
  }
  ~AccentedProgramDir() override {
    k.reset();
    std::filesystem::remove_all(parent_);
  }
  std::string parent_;
};

TEST_F(AccentedProgramDir, ViewsGetTheRealPathsOfItsFiles) {
  for (const char* name : {"green-on.gif", "green-off.gif", "yellow-on.gif", "flgitaly.ico"})
    writeFile(name, "picture");
  writeTable("kalvant.dat", taggedTable());
  k->Form_Load();
  const CombinationsView& r = k->registration().view();
  for (int i = 1; i <= 12; ++i) {
    EXPECT_EQ(r.memoryLeds[i].picturePath.rfind(dir + "/", 0), 0u) << i;
    EXPECT_TRUE(std::filesystem::exists(r.memoryLeds[i].picturePath)) << i;
  }
  EXPECT_EQ(k->panel.windowIconPath(), path("flgitaly.ico"));
  EXPECT_TRUE(std::filesystem::exists(k->panel.windowIconPath()));
  EXPECT_EQ(k->panel.tableFileText().text, "Stops Table: " + path("kalvant.dat"));
  EXPECT_EQ(r.stopButtons[42].caption, "Stop 42");  // the table was read from there
}

// Stop names in the DAT file are Windows-1252; the views hold UTF-8.
struct NameCase {
  int stop;
  const char* stored;
  const char* shown;
};
constexpr NameCase kNames[] = {
    {10, "Bourdon \xE9", "Bourdon \xC3\xA9"},
    {11, "Fl\xFBte \x80", "Fl\xC3\xBBte \xE2\x82\xAC"},
    {12, "Octave \x81", "Octave \xC2\x81"},  // undefined in Windows-1252: kept as C1
    {13, "Principal 8'", "Principal 8'"},
};

class StopNames : public ConsoleTest {
 protected:
  StopNames() {
    StopsTable t = taggedTable();
    for (const NameCase& c : kNames) t[c.stop + entry::kStopNameOffset] = c.stored;
    t[entry::kPedalName] =
        "P\xC9"
        "DALE";
    writeTable("kalvant.dat", t);
    k->Form_Load();
  }
};

TEST_F(StopNames, ShowAsUtf8OnTheButtonsAndInTheEditor) {
  const CombinationsView& r = k->registration().view();
  k->EditCFG_Click();
  for (const NameCase& c : kNames) {
    EXPECT_EQ(r.stopButtons[c.stop].caption, c.shown) << c.stop;
    EXPECT_EQ(k->stopsTableEditor.view().fields[c.stop].text, c.shown) << c.stop;
  }
  EXPECT_EQ(r.pedalDivision.caption,
            "P\xC3\x89"
            "DALE");
}

TEST_F(StopNames, EditorWritesThemBackByteForByte) {
  const std::string before = readFile("kalvant.dat");
  k->EditCFG_Click();
  ASSERT_TRUE(k->stopsTableEditor.Save_DAT());
  EXPECT_EQ(readFile("kalvant.dat"), before);

  k->stopsTableEditor.Text1_Change(10, "Bourdon \xC3\xA9 16'");
  ASSERT_TRUE(k->stopsTableEditor.Save_DAT());
  const DatReadResult read = readDatFile(path("kalvant.dat"));
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.data[10 + entry::kStopNameOffset], "Bourdon \xE9 16'");
}

// The stops-table path on line 2 of KALVANT.CFG: UTF-8 as written now,
// Windows-1252 from an older file.
TEST(CfgTablePath, ReadsUtf8OrWindows1252AndWritesUtf8) {
  const std::pair<const char*, const char*> cases[] = {
      {"/home/Andr\xC3\xA9/kalvant.dat", "/home/Andr\xC3\xA9/kalvant.dat"},
      {"/home/Andr\xE9/kalvant.dat", "/home/Andr\xC3\xA9/kalvant.dat"},
      {"C:\\KALVANT\\kalvant.dat", "C:\\KALVANT\\kalvant.dat"},
  };
  for (const auto& [stored, read] : cases) {
    CfgData d;
    d.settings.DatFilePath = "@";
    std::string bytes = serialiseCfg(d);
    bytes.replace(bytes.find("@"), 1, stored);
    const CfgReadResult r = parseCfg(bytes, "KALVANT.CFG");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.data.settings.DatFilePath, read) << stored;
    EXPECT_NE(serialiseCfg(r.data).find(read), std::string::npos) << stored;
  }
}

}  // namespace
}  // namespace kalvant::test

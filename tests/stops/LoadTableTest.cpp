#include <filesystem>

#include "console/CfgFormat.h"
#include "stops/DatFile.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using LoadTable = ConsoleTest;

TEST_F(LoadTable, DressesStopButtonsFromTheTable) {
  StopsTable t;
  t[11] = std::string(110, 'x');  // not defined: disabled
  t[12] = std::string(111, 'x');
  t[51] = std::string(200, 'x');
  t[114] = "Principale", t[115] = "Ottava 4'", t[116] = "Flauto 8'";
  t[205] = "PEDAL", t[206] = "GRAND'ORGANO", t[207] = "ESPRESSIVO";
  writeTable("kalvant.dat", t);
  k->CARICAMENTO_DAT();
  const CombinationsView& r = k->registration().view();
  const std::tuple<int, const char*, bool> expected[] = {
      {10, "Principale", true}, {11, "Ottava 4'", false}, {12, "Flauto 8'", true}, {13, "", false},
      {50, "", true},           {51, "", true},           {80, "", true},          {99, "", false}};
  for (const auto& [stop, caption, enabled] : expected)
    EXPECT_EQ(std::pair(r.stopButtons[stop].caption, r.stopButtons[stop].enabled),
              std::pair(std::string(caption), enabled))
        << stop;
  EXPECT_EQ(
      (std::vector{r.greatDivision.caption, r.swellDivision.caption, r.pedalDivision.caption}),
      (std::vector<std::string>{"GRAND'ORGANO", "ESPRESSIVO", "PEDAL"}));
  EXPECT_EQ(k->panel.tableFileText().text, "Stops Table: " + path("kalvant.dat"));
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(LoadTable, WrongPathFallsBackToTheDefaultTableOnce) {
  writeTable("kalvant.dat", taggedTable());
  k->s.settings.DatFilePath = path("gone/organ.dat");
  k->CARICAMENTO_DAT();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find(path("gone/organ.dat")), std::string::npos) << user.messages[0];
  EXPECT_EQ(k->s.settings.DatFilePath, path("kalvant.dat"));
  EXPECT_NE(readFile("KALVANT.CFG").find("kalvant.dat"), std::string::npos);
  EXPECT_EQ(k->panel.tableFileText().text, "Stops Table: " + path("kalvant.dat"));
  EXPECT_EQ(k->registration().view().stopButtons[42].caption, "Stop 42");
  writeFile("kalvant.dat", std::string(100, '\0'));  // the default fails too: the table stays
  k->s.settings.DatFilePath = path("mine.dat");
  k->CARICAMENTO_DAT();
  ASSERT_EQ(user.messages.size(), 3u);
  EXPECT_NE(user.messages[2].find(path("mine.dat")), std::string::npos) << user.messages[2];
  EXPECT_NE(user.messages[2].find(path("kalvant.dat")), std::string::npos) << user.messages[2];
  EXPECT_EQ(k->stopsTable.table(), taggedTable());
  EXPECT_EQ(k->registration().view().stopButtons[42].caption, "Stop 42");
}

// The stops-table path on line 2 of KALVANT.CFG: UTF-8 now, Windows-1252 from older files.
TEST(CfgTablePath, ReadsUtf8OrWindows1252AndWritesUtf8) {
  const std::pair<const char*, const char*> cases[] = {
      {"/home/Andr\xC3\xA9/kalvant.dat", "/home/Andr\xC3\xA9/kalvant.dat"},
      {"/home/Andr\xE9/kalvant.dat", "/home/Andr\xC3\xA9/kalvant.dat"},
      {"C:\\KALVANT\\kalvant.dat", "C:\\KALVANT\\kalvant.dat"}};
  for (const auto& [stored, read] : cases) {
    CfgData d;
    d.settings.DatFilePath = "@";
    std::string bytes = serialiseCfg(d);
    bytes.replace(bytes.find("@"), 1, stored);
    const CfgReadResult r = parseCfg(bytes, "KALVANT.CFG");
    EXPECT_TRUE(r.ok && r.data.settings.DatFilePath == read) << stored << r.error;
    EXPECT_NE(serialiseCfg(r.data).find(read), std::string::npos) << stored;
  }
}

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
  EXPECT_EQ(k->registration().view().memoryLeds[12].picturePath, path("green-off.gif"));
  EXPECT_EQ(k->panel.windowIconPath(), path("flgitaly.ico"));
  EXPECT_EQ(k->registration().view().stopButtons[42].caption, "Stop 42");  // read from there
}

// Stop names in the DAT file are Windows-1252; the views hold UTF-8.
TEST_F(AccentedProgramDir, StopNamesShowAsUtf8AndAreWrittenBackByteForByte) {
  const std::tuple<int, const char*, const char*> names[] = {
      {10, "Bourdon \xE9", "Bourdon \xC3\xA9"},
      {11, "Fl\xFBte \x80", "Fl\xC3\xBBte \xE2\x82\xAC"},
      {12, "Octave \x81", "Octave \xC2\x81"},  // undefined in Windows-1252: kept as C1
      {13, "Principal 8'", "Principal 8'"}};
  StopsTable t = taggedTable();
  for (const auto& [stop, stored, shown] : names) t[stop + entry::kStopNameOffset] = stored;
  t[entry::kPedalName] = std::string("P\xC9") + "DALE";
  writeTable("kalvant.dat", t);
  k->Form_Load();
  k->EditCFG_Click();
  const CombinationsView& r = k->registration().view();
  for (const auto& [stop, stored, shown] : names) {
    EXPECT_EQ(r.stopButtons[stop].caption, shown) << stop;
    EXPECT_EQ(k->stopsTableEditor.view().fields[stop].text, shown) << stop;
  }
  EXPECT_EQ(r.pedalDivision.caption, std::string("P\xC3\x89") + "DALE");
  const std::string before = readFile("kalvant.dat");
  ASSERT_TRUE(k->stopsTableEditor.Save_DAT());
  EXPECT_EQ(readFile("kalvant.dat"), before);
  k->stopsTableEditor.Text1_Change(10, "Bourdon \xC3\xA9 16'");
  ASSERT_TRUE(k->stopsTableEditor.Save_DAT());
  EXPECT_EQ(readDatFile(path("kalvant.dat")).data[10 + entry::kStopNameOffset], "Bourdon \xE9 16'");
}

}  // namespace
}  // namespace kalvant::test

// Loading the stops table into the console: captions, enabled stops, the
// fallback to the default table.

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using LoadTable = ConsoleTest;

TEST_F(LoadTable, DressesStopButtonsFromTheTable) {
  StopsTable t;
  t[11] = std::string(110, 'x');  // not defined: disabled
  t[12] = std::string(111, 'x');  // defined
  t[51] = std::string(200, 'x');
  t[11 + 104] = "Ottava 4'";
  t[12 + 104] = "Flauto 8'";
  t[10 + 104] = "Principale";
  t[205] = "PEDAL";
  t[206] = "GRAND'ORGANO";
  t[207] = "ESPRESSIVO";
  writeTable("kalvant.dat", t);
  k->CARICAMENTO_DAT();
  const std::tuple<int, const char*, bool> expected[] = {
      {10, "Principale", true}, {11, "Ottava 4'", false}, {12, "Flauto 8'", true}, {13, "", false},
      {50, "", true},           {51, "", true},           {80, "", true},          {99, "", false},
  };
  for (const auto& [stop, caption, enabled] : expected) {
    EXPECT_EQ(k->panel.registration->stopButtons[stop].caption, caption) << stop;
    EXPECT_EQ(k->panel.registration->stopButtons[stop].enabled, enabled) << stop;
  }
  const CombinationsView& r = *k->panel.registration;
  EXPECT_EQ((std::vector<std::string>{r.greatDivision.caption, r.swellDivision.caption,
                                      r.pedalDivision.caption}),
            (std::vector<std::string>{"GRAND'ORGANO", "ESPRESSIVO", "PEDAL"}));
  EXPECT_EQ(k->panel.tableFileText().text, "Stops Table: " + path("kalvant.dat"));
  EXPECT_TRUE(k->midiSetup().listsReady());
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
  EXPECT_EQ(k->stopsTable.table(), taggedTable());
  EXPECT_EQ(k->panel.registration->stopButtons[42].caption, "Stop 42");
  // When the default fails too the console keeps its table.
  user.messages.clear();
  writeFile("kalvant.dat", std::string(100, '\0'));  // damaged
  k->s.settings.DatFilePath = path("mine.dat");
  k->CARICAMENTO_DAT();
  ASSERT_EQ(user.messages.size(), 2u);
  EXPECT_NE(user.messages[1].find(path("mine.dat")), std::string::npos) << user.messages[1];
  EXPECT_NE(user.messages[1].find(path("kalvant.dat")), std::string::npos) << user.messages[1];
  EXPECT_EQ(k->stopsTable.table(), taggedTable());
  EXPECT_EQ(k->panel.registration->stopButtons[42].caption, "Stop 42");
}

}  // namespace
}  // namespace kalvant::test

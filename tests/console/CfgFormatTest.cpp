// "KALVANT.CFG": byte layout, round trip, and the fallback when it cannot be read.

#include "console/CfgFormat.h"

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

TEST(CfgFile, WrittenByteForByteAndReadBack) {
  CfgData d;
  Settings& s = d.settings;  // in file order
  s = {250, "/home/organ ist/My Organs/baroque organ.dat", 1, -1, 0, 2, 1, 3, 115, 1, 2, 2};
  s.FixedChannel = {3, 0, 1, 0}, s.SysexDelay = 20, s.MemoryLabelMode = 0;
  s.SlidersCoupled = 1, s.SaveCfgOnExit = 0;
  for (int j = 0; j < 12; ++j) {
    const auto n = static_cast<i16>(j);
    d.fixedMemories[j] = {i16(80 + n), 127,        i16(10 + n),      0, i16(50 + n), 1,
                          i16(80 + n), i16(n % 3), i16((n + 1) % 3), 1};
  }
  const std::string file = serialiseCfg(d);
  const std::string start =
      " 250 \r\n/home/organ ist/My Organs/baroque organ.dat\r\n 1 \r\n-1 \r\n 0 \r\n 2 \r\n 1 "
      "\r\n 3 \r\n 115 \r\n 1 \r\n 2 \r\n 2 \r\n 3 \r\n 0 \r\n 1 \r\n 20 \r\n 0 \r\n 1 \r\n 0 "
      "\r\n 80 \r\n 127 \r\n 10 \r\n 0 \r\n 50 \r\n 1 \r\n 80 \r\n 0 \r\n 1 \r\n 1 \r\n";
  EXPECT_EQ(file.substr(0, start.size()), start);
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 139);
  EXPECT_EQ(file.substr(file.size() - 10), " 0 \r\n 1 \r\n");  // the last record's end
  const CfgReadResult r = parseCfg(file, "KALVANT.CFG");
  EXPECT_EQ(std::tuple(r.ok, r.linesRead, serialiseCfg(r.data)), std::tuple(true, 139, file));
}

using ConfigOnConsole = ConsoleTest;

// Without a readable KALVANT.CFG, "fixed.fix" is taken whole or not at all.
TEST_F(ConfigOnConsole, NoUsableFixedFileMeansInitialFixedMemories) {
  writeFile("KALVANT.CFG", " 40000 \r\n");
  for (bool damaged : {false, true}) {
    if (damaged)
      writeFile("fixed.fix",
                "kalvant.dat\r\n 0 \r\n 100 \r\n 0 \r\n 0 \r\n 1 \r\n 90 \r\n eleven \r\n");
    k->registration().bank().memory(20) = {80, 80, 11, 1, 51, 1, 81, 1, 1, 2};
    user.messages.clear();
    k->READ_FILE_AVVIO();
    ASSERT_EQ(user.messages.size(), damaged ? 2u : 1u);
    EXPECT_NE(user.messages.back().find(damaged ? "line 8" : ""), std::string::npos);
    for (int slot = 13; slot <= 24; ++slot)
      EXPECT_EQ(k->registration().bank().memory(slot), kInitialRegistration) << slot;
  }
}

TEST_F(ConfigOnConsole, SavingOffIsWrittenAtOnceAndExitThenLeavesTheFile) {
  writeTable("kalvant.dat", taggedTable());
  writeFile("KALVANT.CFG", serialiseCfg(CfgData{}));
  k->Form_Load(), k->EnableCFG_Click();
  EXPECT_FALSE(k->panel.checked(MenuItem::SaveConfigurationOnExit));
  const std::string written = readFile("KALVANT.CFG");
  EXPECT_EQ(parseCfg(written, "x").data.settings.SaveCfgOnExit, 0);
  k->s.settings.NoteDelay = 7;
  bool cancel = false;
  k->Form_Unload(cancel);
  EXPECT_EQ(readFile("KALVANT.CFG"), written);
}

TEST_F(ConfigOnConsole, FixedSaveCopiesFreeMemoriesOnce) {
  const Registration r{100, 90, 12, 1, 55, 0, 82, 1, 0, 2};
  k->registration().bank().memory(3) = r;
  user.answers = {true};
  k->SaveFIXED_Click(), k->Salva_dati_di_avvio();  // a later save copies nothing again
  EXPECT_EQ(user.messages, std::vector<std::string>{
                               "The fixed memories were overwritten with the free memories."});
  EXPECT_EQ(k->registration().bank().memory(15), r);
  EXPECT_EQ(readCfgFile(path("KALVANT.CFG")).data.fixedMemories[2], r);
}

TEST_F(ConfigOnConsole, AFailedWriteKeepsTheOldFileAndSaysSo) {
  writeFile("KALVANT.CFG", "old");
  namespace fs = std::filesystem;  // read-only: not replaced, not even by root
  fs::permissions(path("KALVANT.CFG"),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  k->Salva_dati_di_avvio();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find("could not be saved"), std::string::npos);
  EXPECT_EQ(readFile("KALVANT.CFG"), "old");
}

}  // namespace
}  // namespace kalvant::test

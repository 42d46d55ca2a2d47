// "KALVANT.CFG": byte layout, round trip, and the fallback when it cannot
// be read.

#include "console/CfgFormat.h"

#include <filesystem>

#include "registration/MemoryFileFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

CfgData sampleCfg() {
  CfgData d;
  Settings& s = d.settings;
  s.NoteDelay = 250;
  s.DatFilePath = "/home/organ ist/My Organs/baroque organ.dat";
  s.InDev1 = 1;
  s.InDev2 = -1;
  s.OutDev = 0;
  s.GreatTemperament = s.SwellTemperament = s.PedalTemperament = 2;
  s.TremoloValue = 115;
  s.TremoloController = 1;
  s.ReverbType = 2;
  s.ThruMode = 2;
  s.FixedChannel = {3, 0, 1, 0};
  s.SysexDelay = 20;
  s.MemoryLabelMode = 0;
  s.SlidersCoupled = 1;
  s.SaveCfgOnExit = 0;
  for (int j = 0; j < 12; ++j) {
    d.fixedMemories[j] = {
        static_cast<i16>(80 + j),      127, static_cast<i16>(10 + j), 0,
        static_cast<i16>(50 + j),      1,   static_cast<i16>(80 + j), static_cast<i16>(j % 3),
        static_cast<i16>((j + 1) % 3), 1};
  }
  return d;
}

TEST(CfgFile, WrittenAsTheFormatSaysByteForByte) {
  CfgData d = sampleCfg();
  d.settings.SysexDelay = -5;
  const std::string file = serialiseCfg(d);
  const std::string expectedStart =
      " 250 \r\n"
      "/home/organ ist/My Organs/baroque organ.dat\r\n"
      " 1 \r\n-1 \r\n 0 \r\n 2 \r\n 2 \r\n 2 \r\n 115 \r\n 1 \r\n 2 \r\n 2 \r\n 3 \r\n 0 \r\n 1 "
      "\r\n"
      "-5 \r\n 0 \r\n 1 \r\n 0 \r\n"
      " 80 \r\n 127 \r\n 10 \r\n 0 \r\n 50 \r\n 1 \r\n 80 \r\n 0 \r\n 1 \r\n 1 \r\n";
  EXPECT_EQ(file.substr(0, expectedStart.size()), expectedStart);
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 139);
  EXPECT_EQ(file.substr(file.size() - 10),
            " 0 \r\n 1 \r\n");  // the last record's couplers and division
}

TEST(CfgFile, ReadBackGivesEverySettingAndMemory) {
  const CfgData d = sampleCfg();
  const CfgReadResult r = parseCfg(serialiseCfg(d), "KALVANT.CFG");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.linesRead, 139);
  // Every numeric setting, in file order.
  auto numbers = [](const Settings& x) {
    return std::vector<i16>{x.NoteDelay,        x.InDev1,           x.InDev2,
                            x.OutDev,           x.GreatTemperament, x.SwellTemperament,
                            x.PedalTemperament, x.TremoloValue,     x.TremoloController,
                            x.ReverbType,       x.ThruMode,         x.FixedChannel[0],
                            x.FixedChannel[1],  x.FixedChannel[2],  x.SysexDelay,
                            x.MemoryLabelMode,  x.SlidersCoupled,   x.SaveCfgOnExit};
  };
  const Settings& a = r.data.settings;
  const Settings& b = d.settings;
  EXPECT_EQ(numbers(a), numbers(b));
  EXPECT_EQ(a.DatFilePath, b.DatFilePath);
  EXPECT_EQ(r.data.fixedMemories, d.fixedMemories);
}

TEST(CfgFile, BadFilesFailAtTheirLine) {
  const std::string good = serialiseCfg(sampleCfg());
  std::vector<std::string> lines;
  for (std::size_t p = 0; p < good.size();) {
    const std::size_t e = good.find("\r\n", p);
    lines.push_back(good.substr(p, e - p));
    p = e + 2;
  }
  auto join = [](const std::vector<std::string>& ls) {
    std::string s;
    for (const auto& l : ls) s += l + "\r\n";
    return s;
  };
  struct Case {
    const char* what;
    std::string file;
    int failLine;
  };
  std::vector<std::string> big = lines, text = lines, cut(lines.begin(), lines.begin() + 50);
  big[0] = " 40000 ";
  text[60] = " abc ";
  const Case cases[] = {
      {"empty", "", 1},
      {"40000 does not fit", join(big), 1},
      {"text for a number", join(text), 61},
      {"cut after line 50", join(cut), 51},
  };
  for (const Case& c : cases) {
    const CfgReadResult r = parseCfg(c.file, "/p/KALVANT.CFG");
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_EQ(r.linesRead, c.failLine - 1) << c.what;
    EXPECT_NE(r.error.find("line " + std::to_string(c.failLine)), std::string::npos) << r.error;
  }
  // Blanks around numbers and bare LF line ends are read too.
  std::string loose = join(lines);
  loose.replace(0, 7, "250\n");
  EXPECT_TRUE(parseCfg(loose, "x").ok);
}

using ConfigOnConsole = ConsoleTest;

TEST_F(ConfigOnConsole, UnreadableFileFallsBackKeepingLearnedChannels) {
  MemoryFileData fixed;
  for (int j = 0; j < 12; ++j)
    fixed.records.push_back({90, 91, static_cast<i16>(20 + j), 0, 60, 0, 85, 1, 2, 3});
  std::string error;
  ASSERT_TRUE(writeMemoryFile(path("fixed.fix"), fixed, error)) << error;
  const std::string good = serialiseCfg(sampleCfg());
  std::size_t p = 0;
  for (int line = 0; line < 50; ++line) p = good.find("\r\n", p) + 2;
  writeFile("KALVANT.CFG", good.substr(0, p));

  k->s.CfgPath = path("KALVANT.CFG");
  k->MIDI_DEVICES_ACK();  // two devices each: "No device" is 2
  k->READ_FILE_AVVIO();

  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find("line 51"), std::string::npos) << user.messages[0];
  const Settings& s = k->s.settings;
  EXPECT_EQ(s.NoteDelay, 100);
  EXPECT_EQ(s.DatFilePath, path("kalvant.dat"));
  EXPECT_EQ(s.InDev1, 2);
  EXPECT_EQ(s.OutDev, 2);
  EXPECT_EQ(s.SaveCfgOnExit, 1);
  EXPECT_EQ(s.ThruMode, 0);
  EXPECT_EQ(s.FixedChannel[0], 3);  // learned channels keep what was read
  EXPECT_EQ(s.FixedChannel[2], 1);
  for (int j = 0; j < 12; ++j) EXPECT_EQ(k->registration().bank().memory(13 + j), fixed.records[j]) << j;
}

TEST_F(ConfigOnConsole, NeitherFileMeansInitialFixedMemories) {
  writeFile("KALVANT.CFG", " 40000 \r\n");
  k->registration().bank().memory(20) = {80, 80, 11, 1, 51, 1, 81, 1, 1, 2};
  k->READ_FILE_AVVIO();
  for (int slot = 13; slot <= 24; ++slot)
    EXPECT_EQ(k->registration().bank().memory(slot), kInitialRegistration) << slot;
}

TEST_F(ConfigOnConsole, ADamagedFixedFileIsRefusedWhole) {
  writeFile("fixed.fix",
            "kalvant.dat\r\n 0 \r\n 100 \r\n 0 \r\n 0 \r\n 1 \r\n 90 \r\n 90 \r\n eleven \r\n");
  k->READ_FILE_AVVIO();
  ASSERT_EQ(user.messages.size(), 2u);
  EXPECT_NE(user.messages[1].find("line 9"), std::string::npos) << user.messages[1];
  for (int slot = 13; slot <= 24; ++slot) EXPECT_EQ(k->registration().bank().memory(slot), kInitialRegistration);
}

TEST_F(ConfigOnConsole, SavingOffIsWrittenAtOnceAndExitThenLeavesTheFile) {
  writeTable("kalvant.dat", taggedTable());
  writeFile("KALVANT.CFG", serialiseCfg(CfgData{}));
  k->Form_Load();
  EXPECT_TRUE(k->panel.checked("EnableCFG"));
  k->EnableCFG_Click();
  EXPECT_FALSE(k->panel.checked("EnableCFG"));
  const std::string written = readFile("KALVANT.CFG");
  const CfgReadResult r = parseCfg(written, "x");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.data.settings.SaveCfgOnExit, 0);

  k->s.settings.NoteDelay = 7;
  bool cancel = false;
  k->Form_Unload(cancel);
  EXPECT_EQ(readFile("KALVANT.CFG"), written);
}

TEST_F(ConfigOnConsole, FixedSaveCopiesFreeMemoriesOnce) {
  k->registration().bank().memory(3) = {100, 90, 12, 1, 55, 0, 82, 1, 0, 2};
  user.answers = {true};
  k->SaveFIXED_Click();
  k->Salva_dati_di_avvio();  // a later save copies nothing again
  EXPECT_EQ(user.messages, std::vector<std::string>{"FIXED MEMORY OVERWRITTEN!"});
  EXPECT_EQ(k->registration().bank().memory(15), k->registration().bank().memory(3));
  const CfgReadResult r = readCfgFile(path("KALVANT.CFG"));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.data.fixedMemories[2], k->registration().bank().memory(3));
}

TEST_F(ConfigOnConsole, AFailedWriteKeepsTheOldFileAndSaysSo) {
  writeFile("KALVANT.CFG", "old");
  // The user made the file read-only: it is not replaced, not even by root.
  std::filesystem::permissions(path("KALVANT.CFG"), std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::group_read |
                                                        std::filesystem::perms::others_read);
  k->Salva_dati_di_avvio();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].find("could not be saved"), std::string::npos);
  EXPECT_EQ(readFile("KALVANT.CFG"), "old");
}

}  // namespace
}  // namespace kalvant::test

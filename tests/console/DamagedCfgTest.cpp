// A "KALVANT.CFG" the console cannot use is kept before anything overwrites
// it, and the user is told why; hand-edited delays are held to their ranges.

#include <filesystem>
#include <optional>
#include <string_view>

#include "common/NumberLines.h"
#include "console/CfgFormat.h"
#include "registration/MemoryFileFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

constexpr const char* kFirstStart = "Midi devices are unassigned : go to Setup !";

CfgData userCfg() {
  CfgData d;
  d.settings.DatFilePath = "/home/organist/baroque.dat";
  d.settings.ThruMode = 2;
  d.settings.NoteDelay = 250;
  d.settings.FixedChannel = {3, 0, 1, 0};
  for (int j = 0; j < 12; ++j)
    d.fixedMemories[j] = {90, 91, static_cast<i16>(20 + j), 0, 60, 0, 85, 1, 2, 3};
  return d;
}

// The user's file with line n (1-based) replaced, or cut before it.
std::string withLine(int n, const std::optional<std::string>& text) {
  const std::vector<std::string> lines = splitLines(serialiseCfg(userCfg()));
  std::string file;
  for (int i = 1; i <= static_cast<int>(lines.size()); ++i) {
    if (i == n && !text) break;
    file += (i == n ? *text : lines[i - 1]) + "\r\n";
  }
  return file;
}

std::string lfOnly(std::string file) {
  for (std::size_t p; (p = file.find("\r\n")) != std::string::npos;) file.replace(p, 2, "\n");
  return file;
}

using DamagedFiles = ConsoleTest;

TEST_F(DamagedFiles, AreKeptAndNamedBeforeTheExitOverwritesThem) {
  const std::string bom = "\xEF\xBB\xBF";
  struct Row {
    const char* what;
    std::optional<std::string> file;  // nullopt: there is none (the first start)
    std::string problem;              // empty: the file is not damaged
  };
  const Row rows[] = {
      {"40000 on line 1", withLine(1, "40000"),
       "line 1: \"40000\" is not a number from -32768 to 32767"},
      {"text on line 1", withLine(1, " organ "),
       "line 1: \"organ\" is not a number from -32768 to 32767"},
      {"cut after line 50", withLine(51, std::nullopt), "line 51: the file ends before it"},
      {"empty", "", "line 1: the file ends before it"},
      {"text in the fixed memories", withLine(61, " abc "),
       "line 61: \"abc\" is not a number from -32768 to 32767"},
      {"byte-order mark, then text", bom + withLine(1, "x"),
       "line 1: \"x\" is not a number from -32768 to 32767"},
      {"byte-order mark before a good file", bom + serialiseCfg(userCfg()), ""},
      {"bare LF line ends", lfOnly(serialiseCfg(userCfg())), ""},
      {"first start", std::nullopt, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::filesystem::remove(path("KALVANT.CFG"));
    if (row.file) writeFile("KALVANT.CFG", *row.file);
    writeFile("KALVANT.CFG.damaged", "a copy from an earlier start");
    user.messages.clear();
    const bool damaged = !row.problem.empty();
    if (damaged) {
      EXPECT_EQ(readCfgFile(path("KALVANT.CFG")).error,
                "\"" + path("KALVANT.CFG") + "\" " + row.problem);
    }

    k->READ_FILE_AVVIO();
    k->Salva_dati_di_avvio();  // as at exit

    std::vector<std::string> told;
    if (damaged) {
      told = {"KALVANT.CFG could not be read (" + row.problem +
              "). It was kept as KALVANT.CFG.damaged; kalvant starts with default settings. " +
              kFirstStart};
    } else if (!row.file) {
      told = {kFirstStart};
    }
    EXPECT_EQ(user.messages, told);
    EXPECT_EQ(readFile("KALVANT.CFG.damaged"),
              damaged ? *row.file : "a copy from an earlier start");
    const CfgReadResult saved = readCfgFile(path("KALVANT.CFG"));
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(saved.data.settings.ThruMode, row.file && !damaged ? 2 : 0);
  }
}

TEST_F(DamagedFiles, FallBackToDefaultsButKeepLearnedChannelsAndTheFixedFile) {
  MemoryFileData fixed;
  for (int j = 0; j < 12; ++j)
    fixed.records.push_back({90, 91, static_cast<i16>(20 + j), 0, 60, 0, 85, 1, 2, 3});
  std::string error;
  ASSERT_TRUE(writeMemoryFile(path("fixed.fix"), fixed, error)) << error;
  writeFile("KALVANT.CFG", withLine(51, std::nullopt));
  k->MIDI_DEVICES_ACK();  // two devices each: "No device" is 2
  k->READ_FILE_AVVIO();
  const Settings& s = k->s.settings;
  EXPECT_EQ(s.NoteDelay, 100);
  EXPECT_EQ(s.DatFilePath, path("kalvant.dat"));
  EXPECT_EQ(s.OutDev, 2);
  EXPECT_EQ(s.FixedChannel, (std::array<i16, 4>{3, 0, 1, 0}));  // as read
  for (int j = 0; j < 12; ++j)
    EXPECT_EQ(k->registration().bank().memory(13 + j), fixed.records[j]) << j;
}

TEST_F(DamagedFiles, WithoutACopyTheExitLeavesTheFileAlone) {
  struct Row {
    const char* folderAt;  // a folder where a file should be
    const char* told;
  };
  const Row rows[] = {
      {"KALVANT.CFG.damaged",
       "could not be read (line 1: \"40000\" is not a number from "
       "-32768 to 32767) and could not be kept ("},
      {"KALVANT.CFG", "could not be read (cannot "},
  };
  writeTable("kalvant.dat", taggedTable());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folderAt);
    k = std::make_unique<Console>(ConsoleWorld{user, loop, in1, in2, out, dir});
    user.messages.clear();
    std::filesystem::remove_all(path("KALVANT.CFG"));
    std::filesystem::remove_all(path("KALVANT.CFG.damaged"));
    const std::string file = withLine(1, "40000");
    writeFile("KALVANT.CFG", file);
    std::filesystem::remove(path(row.folderAt));
    std::filesystem::create_directory(path(row.folderAt));

    k->Form_Load();
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_NE(user.messages[0].find(row.told), std::string::npos) << user.messages[0];
    EXPECT_NE(user.messages[0].find("leaves KALVANT.CFG as it is at exit"), std::string::npos);
    EXPECT_FALSE(k->panel.checked(MenuItem::SaveConfigurationOnExit));
    bool cancel = false;
    k->Form_Unload(cancel);
    if (std::string_view(row.folderAt) == "KALVANT.CFG")
      EXPECT_TRUE(std::filesystem::is_directory(path("KALVANT.CFG")));
    else
      EXPECT_EQ(readFile("KALVANT.CFG"), file);
  }
}

std::string lineOf(const std::string& file, int n) {
  return splitLines(file).at(static_cast<std::size_t>(n - 1)) + "\r\n";
}

using Delays = ConsoleTest;

TEST_F(Delays, AreHeldToTheRangesOfTheSetupDialog) {
  struct Row {
    int sysexIn, noteIn, tremoloIn, sysex, note, tremolo;  // the tremolo rate is 7-bit
  };
  const Row rows[] = {
      {1000, 32767, 128, 100, 500, 127}, {32767, 501, 32767, 100, 500, 127},
      {-5, -32768, -1, 0, 0, 0},         {100, 500, 115, 100, 500, 115},
      {20, 250, 40, 20, 250, 40},
  };
  writeTable("kalvant.dat", taggedTable());
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.sysexIn) + " " + std::to_string(row.noteIn));
    CfgData cfg = userCfg();
    cfg.settings.DatFilePath = path("kalvant.dat");
    cfg.settings.SysexDelay = static_cast<i16>(row.sysexIn);
    cfg.settings.NoteDelay = static_cast<i16>(row.noteIn);
    cfg.settings.TremoloValue = static_cast<i16>(row.tremoloIn);
    // The setup dialog holds the delays, however the settings came in.
    k->s.settings = cfg.settings;
    k->SetMidi_Click();
    EXPECT_EQ(k->midiSetup().view().sysexDelaySlider, row.sysex);
    EXPECT_EQ(k->midiSetup().view().noteDelaySlider, row.note);
    k->Setup_CANCEL_Click();
    EXPECT_EQ(k->s.settings.SysexDelay, row.sysex);
    EXPECT_EQ(k->s.settings.NoteDelay, row.note);

    // What is read, held, is what is written back at exit.
    writeFile("KALVANT.CFG", serialiseCfg(cfg));
    k->READ_FILE_AVVIO();
    k->Salva_dati_di_avvio();
    const std::string written = readFile("KALVANT.CFG");
    EXPECT_EQ(lineOf(written, 1), formatNumberLine(row.note));
    EXPECT_EQ(lineOf(written, 9), formatNumberLine(row.tremolo));
    EXPECT_EQ(lineOf(written, 16), formatNumberLine(row.sysex));
  }
}

}  // namespace
}  // namespace kalvant::test

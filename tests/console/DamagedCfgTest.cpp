// A "KALVANT.CFG" the console cannot use is kept before anything overwrites
// it, and the user is told why; hand-edited delays are held to their ranges.

#include <optional>

#include "common/NumberLines.h"
#include "console/CfgFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

const std::string kCheckDevices = "Check the MIDI devices in Setup.";

CfgData userCfg() {
  CfgData d;
  d.settings.DatFilePath = "/home/organist/baroque.dat";
  d.settings.ThruMode = 2, d.settings.NoteDelay = 250, d.settings.FixedChannel = {3, 0, 1, 0};
  for (int j = 0; j < 12; ++j) d.fixedMemories[j] = {90, 91, i16(20 + j), 0, 60, 0, 85, 1, 2, 3};
  return d;
}

// The user's file with line n (1-based) replaced, or cut before it.
std::string withLine(int n, const std::optional<std::string>& text) {
  const std::vector<std::string> lines = splitLines(serialiseCfg(userCfg()));
  std::string file;
  for (int i = 1; i <= static_cast<int>(lines.size()) && (i != n || text); ++i)
    file += (i == n ? *text : lines[i - 1]) + "\r\n";
  return file;
}

std::string notANumber(int line, const std::string& text) {
  return "line " + std::to_string(line) + ": \"" + text + "\" is not a number from -32768 to 32767";
}

using DamagedFiles = ConsoleTest;
using Names = std::vector<std::string>;

TEST_F(DamagedFiles, AreKeptAndNamedBeforeTheExitOverwritesThem) {
  const std::string bom = "\xEF\xBB\xBF", good = serialiseCfg(userCfg());
  std::string lf = good;
  std::erase(lf, '\r');
  // The file (none: the first start) and its problem (none: not damaged).
  const std::tuple<std::optional<std::string>, std::string> rows[] = {
      {withLine(1, "40000"), notANumber(1, "40000")},
      {withLine(1, " organ "), notANumber(1, "organ")},
      {withLine(51, std::nullopt), "line 51: the file ends before it"},
      {"", "line 1: the file ends before it"},
      {withLine(61, " abc "), notANumber(61, "abc")},
      {bom + withLine(1, "x"), notANumber(1, "x")},
      {bom + good, ""},
      {lf, ""},
      {withLine(1, "250"), ""},  // a number without its padding
      {std::nullopt, ""}};
  for (const auto& [file, problem] : rows) {
    SCOPED_TRACE(file.value_or("none"));
    std::filesystem::remove(path("KALVANT.CFG"));
    if (file) writeFile("KALVANT.CFG", *file);
    writeFile("KALVANT.CFG.damaged", "a copy from an earlier start");
    user.messages.clear();
    const bool damaged = !problem.empty();
    if (damaged) {
      const CfgReadResult r = readCfgFile(path("KALVANT.CFG"));
      EXPECT_EQ(std::pair(r.error, r.linesRead),
                std::pair("\"" + path("KALVANT.CFG") + "\" " + problem,
                          std::stoi(problem.substr(5)) - 1));
    }
    k->READ_FILE_AVVIO(), k->Salva_dati_di_avvio();  // as at exit
    const std::string why = "KALVANT.CFG could not be read (" + problem +
                            "). It was kept as KALVANT.CFG.damaged; kalvant starts with default "
                            "settings. ";
    EXPECT_EQ(user.messages, damaged ? Names{why + kCheckDevices} : Names{});
    EXPECT_EQ(readFile("KALVANT.CFG.damaged"), damaged ? *file : "a copy from an earlier start");
    const CfgReadResult saved = readCfgFile(path("KALVANT.CFG"));
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(saved.data.settings.ThruMode, file && !damaged ? 2 : 0);
  }
}

TEST_F(DamagedFiles, FallBackToDefaultsButKeepLearnedChannelsAndTheFixedFile) {
  const auto fixed = userCfg().fixedMemories;
  writeFixed({fixed.begin(), fixed.end()});
  writeFile("KALVANT.CFG", withLine(51, std::nullopt));
  k->MIDI_DEVICES_ACK(), k->READ_FILE_AVVIO();  // two devices each: "No device" is 2
  const Settings& s = k->s.settings;
  EXPECT_EQ(std::tuple(s.NoteDelay, s.DatFilePath, s.OutDev, s.InDev1, s.SaveCfgOnExit),
            std::tuple(100, path("kalvant.dat"), 2, 2, 1));
  EXPECT_EQ(s.FixedChannel, (std::array<i16, 4>{3, 0, 1, 0}));  // as read
  for (int j = 0; j < 12; ++j) EXPECT_EQ(k->registration().bank().memory(13 + j), fixed[j]);
}

TEST_F(DamagedFiles, WithoutACopyTheExitLeavesTheFileAlone) {
  // A folder where a file should be, and what is told.
  const std::pair<std::string, std::string> rows[] = {
      {"KALVANT.CFG.damaged",
       "could not be read (" + notANumber(1, "40000") + ") and could not be kept ("},
      {"KALVANT.CFG", "could not be read (cannot "}};
  writeTable("kalvant.dat", taggedTable());
  for (const auto& [folderAt, told] : rows) {
    SCOPED_TRACE(folderAt);
    restart(), user.messages.clear();
    for (const char* f : {"KALVANT.CFG", "KALVANT.CFG.damaged"})
      std::filesystem::remove_all(path(f));
    writeFile("KALVANT.CFG", withLine(1, "40000"));
    std::filesystem::remove(path(folderAt)), std::filesystem::create_directory(path(folderAt));
    k->Form_Load();
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_NE(user.messages[0].find(told), std::string::npos) << user.messages[0];
    EXPECT_NE(user.messages[0].find("leaves KALVANT.CFG as it is at exit"), std::string::npos);
    EXPECT_FALSE(k->panel.checked(MenuItem::SaveConfigurationOnExit));
    bool cancel = false;
    k->Form_Unload(cancel);
    if (folderAt == "KALVANT.CFG")
      EXPECT_TRUE(std::filesystem::is_directory(path("KALVANT.CFG")));
    else
      EXPECT_EQ(readFile("KALVANT.CFG"), withLine(1, "40000"));
  }
}

using Delays = ConsoleTest;

TEST_F(Delays, AreHeldToTheRangesOfTheSetupDialog) {
  // Sysex, note and tremolo (7-bit) delays in; then as held.
  const std::array<int, 6> rows[] = {{1000, 32767, 128, 100, 500, 127},
                                     {32767, 501, 32767, 100, 500, 127},
                                     {-5, -32768, -1, 0, 0, 0},
                                     {100, 500, 115, 100, 500, 115},
                                     {20, 250, 40, 20, 250, 40}};
  writeTable("kalvant.dat", taggedTable());
  for (const auto& [sysexIn, noteIn, tremoloIn, sysex, note, tremolo] : rows) {
    SCOPED_TRACE(sysexIn);
    CfgData cfg = userCfg();
    cfg.settings.DatFilePath = path("kalvant.dat");
    cfg.settings.SysexDelay = i16(sysexIn), cfg.settings.NoteDelay = i16(noteIn);
    cfg.settings.TremoloValue = i16(tremoloIn);
    k->s.settings = cfg.settings;  // the setup dialog holds the delays, however they came in
    k->SetMidi_Click();
    const ports::SetupView& v = k->midiSetup().view();
    EXPECT_EQ(std::pair(v.sysexDelaySlider, v.noteDelaySlider), std::pair(sysex, note));
    k->Setup_CANCEL_Click();
    EXPECT_EQ(std::pair(int{k->s.settings.SysexDelay}, int{k->s.settings.NoteDelay}),
              std::pair(sysex, note));
    writeFile("KALVANT.CFG", serialiseCfg(cfg));  // what is read, held, is written back at exit
    k->READ_FILE_AVVIO(), k->Salva_dati_di_avvio();
    const std::vector<std::string> lines = splitLines(readFile("KALVANT.CFG"));
    EXPECT_EQ(
        (std::vector<std::string>{lines.at(0), lines.at(8), lines.at(15)}),
        (splitLines(formatNumberLine(note) + formatNumberLine(tremolo) + formatNumberLine(sysex))));
  }
}

}  // namespace
}  // namespace kalvant::test

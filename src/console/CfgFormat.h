#pragma once
// "KALVANT.CFG": 139 text lines ended by CR LF. Lines 1..19 the settings
// (line 2 the stops-table path, a file-system path: written as UTF-8, read as
// UTF-8 when it is valid UTF-8, else decoded from Windows-1252 as an older
// file holds it; the others 16-bit integers written as a space or minus
// sign, the digits and one space), lines 20..139 the
// twelve fixed memories, ten values each in Registration order. A UTF-8
// byte-order mark before line 1 (left by some editors) is skipped; the
// writer never writes one.

#include <array>
#include <string>

#include "common/ReadResult.h"
#include "console/State.h"
#include "ports/Delays.h"
#include "registration/Registration.h"

namespace kalvant {

inline constexpr int kCfgSettingLines = 19;
inline constexpr int kCfgLines = 139;

struct CfgData {
  Settings settings;
  std::array<Registration, 12> fixedMemories{};  // slots 13..24
};

// The delays' ranges, as the setup dialog's sliders offer them: a larger
// value from a hand-edited file would stall the console for minutes.
inline constexpr int kMaxSysexDelay = ports::kMaxSysexDelay;
inline constexpr int kMaxNoteDelay = ports::kMaxNoteDelay;
void clampDelays(Settings& settings);
// The tremolo rate is a 7-bit controller value: a larger one would wrap
// (128 sends 0, the tremolo off while its lamp is lit).
inline constexpr int kMaxTremoloValue = 127;

// data: lines before a failure are filled in; delays and rate clamped.
struct CfgReadResult : ReadResult<CfgData> {
  int linesRead = 0;    // how many of the 139 lines were read into data
  std::string problem;  // error without the file: "line 1: ..."
};

CfgReadResult parseCfg(const std::string& bytes, const std::string& pathForMessages);
CfgReadResult readCfgFile(const std::string& path);

std::string serialiseCfg(const CfgData& data);

// The line of the file that holds each setting, for readers of the code and
// of the tests: 13..15 are FixedChannel(0..2).
inline constexpr int kCfgFixedChannelLine = 13;

}  // namespace kalvant

#include "console/CfgFormat.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "common/FileIo.h"
#include "common/NumberLines.h"
#include "common/Text.h"

namespace kalvant {

namespace {

// Lines 1..19 in file order; nullptr marks line 2, the path. S is Settings
// for reading, const Settings for writing.
template <class S>
std::array<decltype(&std::declval<S&>().NoteDelay), kCfgSettingLines> numberFields(S& s) {
  return {&s.NoteDelay,        nullptr,
          &s.InDev1,           &s.InDev2,
          &s.OutDev,           &s.GreatTemperament,
          &s.SwellTemperament, &s.PedalTemperament,
          &s.TremoloValue,     &s.TremoloController,
          &s.ReverbType,       &s.ThruMode,
          &s.FixedChannel[0],  &s.FixedChannel[1],
          &s.FixedChannel[2],  &s.SysexDelay,
          &s.MemoryLabelMode,  &s.SlidersCoupled,
          &s.SaveCfgOnExit};
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string withoutByteOrderMark(const std::string& bytes) {
  return bytes.starts_with(kByteOrderMark) ? bytes.substr(kByteOrderMark.size()) : bytes;
}

}  // namespace

void clampDelays(Settings& settings) {
  settings.SysexDelay = static_cast<i16>(std::clamp<int>(settings.SysexDelay, 0, kMaxSysexDelay));
  settings.NoteDelay = static_cast<i16>(std::clamp<int>(settings.NoteDelay, 0, kMaxNoteDelay));
}

namespace {
void clampRead(Settings& settings) {
  clampDelays(settings);
  settings.TremoloValue =
      static_cast<i16>(std::clamp<int>(settings.TremoloValue, 0, kMaxTremoloValue));
}
}  // namespace

CfgReadResult parseCfg(const std::string& bytes, const std::string& path) {
  CfgReadResult r;
  const std::vector<std::string> lines = splitLines(withoutByteOrderMark(bytes));
  auto fail = [&](int line, const std::string& why) {
    r.problem = "line " + std::to_string(line) + ": " + why;
    r.error = lineError(path, static_cast<std::size_t>(line), why);
    clampRead(r.data.settings);
    return r;
  };
  auto numberAt = [&](int line, i16& value) {
    if (line > static_cast<int>(lines.size())) {
      fail(line, "the file ends before it");
      return false;
    }
    if (!parseNumberLine(lines[line - 1], value)) {
      fail(line, "\"" + std::string(trimBlanks(lines[line - 1])) +
                     "\" is not a number from -32768 to 32767");
      return false;
    }
    r.linesRead = line;
    return true;
  };

  const auto fields = numberFields(r.data.settings);
  for (int line = 1; line <= kCfgSettingLines; ++line) {
    if (fields[line - 1]) {
      if (!numberAt(line, *fields[line - 1])) return r;
      continue;
    }
    if (line > static_cast<int>(lines.size())) return fail(line, "the file ends before it");
    // A path: UTF-8 as this program writes it, or Windows-1252 from a file
    // made on the console's original platform (see pathFromFileText).
    r.data.settings.DatFilePath = pathFromFileText(lines[line - 1]);
    r.linesRead = line;
  }
  clampRead(r.data.settings);
  int line = kCfgSettingLines;
  for (Registration& memory : r.data.fixedMemories) {
    std::array<i16, 10> values{};
    for (i16& v : values) {
      if (!numberAt(++line, v)) return r;
    }
    memory = Registration::fromValues(values);
  }
  r.ok = true;
  return r;
}

CfgReadResult readCfgFile(const std::string& path) {
  CfgReadResult r;
  std::string bytes;
  if (!readWholeFile(path, bytes, r.error)) {
    r.problem = r.error;
    return r;
  }
  return parseCfg(bytes, path);
}

std::string serialiseCfg(const CfgData& data) {
  const Settings& s = data.settings;
  std::string out;
  for (const i16* field : numberFields(s)) {
    // The path is written as UTF-8, as every path inside the program is.
    out += field ? formatNumberLine(*field) : s.DatFilePath + "\r\n";
  }
  for (const Registration& memory : data.fixedMemories) {
    for (i16 v : memory.values()) out += formatNumberLine(v);
  }
  return out;
}

}  // namespace kalvant

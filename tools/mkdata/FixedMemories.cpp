#include "FixedMemories.h"

#include <array>

#include "OrganSource.h"
#include "SourceText.h"

namespace kalvant::mkdata {

namespace {

std::int16_t number(const Setting& s, int min, int max) {
  return static_cast<std::int16_t>(parseInteger(s.where, s.value, min, max, s.key));
}

std::int16_t onOff(const Setting& s) {
  const std::string v = lowerCase(s.value);
  if (v == "on") return 1;
  if (v == "off") return 0;
  s.where.fail(s.key + " is \"on\" or \"off\"");
}

std::int16_t stop(const Setting& s, int division, const StopsTable& table) {
  const std::int16_t i = number(s, kStopRanges[division][0], kStopRanges[division][1]);
  if (!stopButtonEnabled(table, i))
    s.where.fail(std::string(kDivisionKeys[division]) + " stop " + std::to_string(i) +
                 " is not defined");
  return i;
}

void parseFileSection(const Section& sec, MemoryFileData& data) {
  for (const Setting& s : sec.settings) {
    if (s.key == "dat file") {
      if (s.value.empty() || s.value.find(',') != std::string::npos)
        s.where.fail("the DAT file name is not empty and has no comma");
      data.datFileName = s.value;
    } else if (s.key == "temperament") {
      data.temperament = number(s, 0, 3);
    } else if (s.key == "tremolo value") {
      data.tremoloValue = number(s, 0, 127);
    } else if (s.key == "tremolo controller") {
      data.tremoloController = number(s, 0, 127);
    } else if (s.key == "reverb") {
      data.reverbType = number(s, 0, 2);
    } else if (s.key == "label mode") {
      data.memoryLabelMode = number(s, 0, 1);
    } else {
      s.where.fail("unknown setting \"" + s.key + "\" in [file]");
    }
  }
}

void parseMemory(const Section& sec, const StopsTable& table, Registration& r) {
  bool stops[3] = {false, false, false};
  for (const Setting& s : sec.settings) {
    if (s.key == "great")
      r.GreatStop = stop(s, 0, table), stops[0] = true;
    else if (s.key == "swell")
      r.SwellStop = stop(s, 1, table), stops[1] = true;
    else if (s.key == "pedal")
      r.PedalStop = stop(s, 2, table), stops[2] = true;
    else if (s.key == "great volume")
      r.GreatVolume = number(s, 80, 127);
    else if (s.key == "swell volume")
      r.SwellVolume = number(s, 80, 127);
    else if (s.key == "great tremulant")
      r.GreatTremolo = onOff(s);
    else if (s.key == "swell tremulant")
      r.SwellTremolo = onOff(s);
    else if (s.key == "pedal coupler")
      r.PedalCoupler = number(s, 0, 2);
    else if (s.key == "manual coupler")
      r.ManualCoupler = number(s, 0, 2);
    else if (s.key == "active manual")
      r.ActiveManual = number(s, 1, 3);
    else
      s.where.fail("unknown setting \"" + s.key + "\" in [memory]");
  }
  if (!stops[0] || !stops[1] || !stops[2])
    sec.where.fail("a memory names its great, swell and pedal stops");
}

}  // namespace

MemoryFileData parseFixedMemories(const std::string& bytes, const std::string& path,
                                  const StopsTable& table) {
  MemoryFileData data;
  data.records.assign(kMemoriesPerFile, kInitialRegistration);
  std::array<bool, kMemoriesPerFile> seen{};
  for (const Section& sec : parseSections(bytes, path)) {
    if (sec.kind == "file") {
      parseFileSection(sec, data);
    } else if (sec.kind == "memory") {
      const int n = parseInteger(sec.where, sec.argument, 1, kMemoriesPerFile, "memory");
      if (seen[n - 1]) sec.where.fail("memory " + sec.argument + " is described twice");
      seen[n - 1] = true;
      parseMemory(sec, table, data.records[n - 1]);
    } else {
      sec.where.fail("unknown section [" + sec.kind + "]");
    }
  }
  for (int n = 0; n < kMemoriesPerFile; ++n)
    if (!seen[n]) Where{path, 1}.fail("memory " + std::to_string(n + 1) + " is missing");
  if (data.datFileName.empty()) Where{path, 1}.fail("[file] names the DAT file");
  return data;
}

}  // namespace kalvant::mkdata

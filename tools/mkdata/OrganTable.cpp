#include "OrganTable.h"

#include <cmath>

namespace kalvant::mkdata {

namespace {

constexpr std::array<const char*, kDivisions> kDivisionWords{"Great", "Swell", "Pedal"};
constexpr std::array<int, kDivisions> kDivisionNameEntries{entry::kGreatName, entry::kSwellName,
                                                           entry::kPedalName};
constexpr int kSystemLabelOffset = entry::kFirstSystemLabel - entry::kModuleReset;

std::uint8_t offset50(int v) {
  return static_cast<std::uint8_t>(0x40 + v);
}

// A rank on its part: tone and voicing first, the channel last, so that the
// part never sounds its previous tone on the division's keyboard.
std::string rankMessages(int part, const Rank& r, int channel, const Tremulant& t) {
  std::string m;
  if (part == 10) m += partParameter(part, gs::kRhythmPart, 0);
  m += partTone(part, r.tone.bank, r.tone.program);
  m += partParameter(part, gs::kKeyShift, offset50(r.keyShift));
  m += partParameter(part, gs::kLevel, static_cast<std::uint8_t>(r.level));
  m += partParameter(part, gs::kPan, offset50(r.pan));
  m += partParameter(part, gs::kReverbSend, static_cast<std::uint8_t>(r.reverb));
  m += partParameter(part, gs::kChorusSend, static_cast<std::uint8_t>(r.chorus));
  m += partParameter(part, gs::kVibratoRate, offset50(t.rate));
  m += partParameter(part, gs::kVibratoDepth, offset50(t.depth));
  m += partParameter(part, gs::kVibratoDelay, offset50(t.delay));
  m += partControllerParameter(part, gs::kModPitchDepth, static_cast<std::uint8_t>(t.pitch));
  m +=
      partControllerParameter(part, gs::kModAmplitudeDepth, static_cast<std::uint8_t>(t.amplitude));
  m += partParameter(part, gs::kRxChannel, static_cast<std::uint8_t>(channel - 1));
  return m;
}

// The division's unused parts fall silent before the new ranks speak.
std::string stopMessages(const Organ& organ, const Stop& stop) {
  const Division& d = organ.divisions[static_cast<int>(stop.division)];
  std::string m;
  for (std::size_t i = stop.ranks.size(); i < d.parts.size(); ++i)
    m += partParameter(d.parts[i], gs::kRxChannel, gs::kRxChannelOff);
  for (std::size_t i = 0; i < stop.ranks.size(); ++i)
    m += rankMessages(d.parts[i], stop.ranks[i], d.channel, stop.tremulant);
  return m;
}

std::string setupMessages(const Organ& organ, const Setup& setup) {
  std::string m;
  for (const SetupItem& item : setup.items) {
    switch (item.kind) {
      case SetupItem::Kind::Layout: {
        const Division& d = organ.divisions[static_cast<int>(item.division)];
        m += stopMessages(organ, organ.stops.at(d.firstStop));
        break;
      }
      case SetupItem::Kind::Part:
        m += rankMessages(item.part, item.rank, item.rank.channel, Tremulant{});
        break;
      case SetupItem::Kind::PartOff:
        m += partParameter(item.part, gs::kRxChannel, gs::kRxChannelOff);
        break;
      case SetupItem::Kind::ChorusType:
        m += reverbParameter(gs::kChorusMacro, item.chorusMacro);
        break;
    }
  }
  if (m.empty()) setup.where.fail("a set-up entry sends at least one message");
  return m;
}

std::string displayMessage(const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  return dataSet(kDisplayModel, 0x10, 0x00, 0x00, data);
}

void putStops(const Organ& organ, StopsTable& table) {
  for (const auto& [index, stop] : organ.stops) {
    table[index] = stopMessages(organ, stop);
    if (table[index].size() <= kUndefinedStopMaxLength)
      stop.where.fail("stop " + std::to_string(index) + " makes only " +
                      std::to_string(table[index].size()) + " bytes; the console takes up to " +
                      std::to_string(kUndefinedStopMaxLength) + " as an empty button");
    table[index + entry::kStopNameOffset] = stop.name;
  }
}

void putSystemEntries(const Organ& organ, StopsTable& table) {
  table[entry::kIdentification] = displayMessage(organ.display);
  table[entry::kFirstLabel] = organ.identificationLabel;
  for (const Setup& s : organ.setups) {
    table[s.entry] = setupMessages(organ, s);
    table[entry::kFirstLabel + s.entry] = s.label;
  }
  for (const Reverb& r : organ.reverbs) {
    table[r.entry] = reverbParameter(gs::kReverbMacro, r.macro) +
                     reverbParameter(gs::kReverbLevel, r.level) +
                     reverbParameter(gs::kReverbTime, r.time);
    table[entry::kFirstLabel + r.entry] = r.label;
  }
  table[entry::kModuleReset] = gsReset();
  table[entry::kModuleReset + kSystemLabelOffset] = organ.resetLabel;
}

void putTemperaments(const Organ& organ, StopsTable& table) {
  for (int t = 0; t < kTemperaments; ++t) {
    const Temperament& temp = organ.temperaments[t];
    std::vector<std::uint8_t> bytes;
    for (double c : temp.cents) bytes.push_back(scaleTuningByte(c));
    for (int d = 0; d < kDivisions; ++d) {
      const int e = entry::kFirstTemperament + 3 * t + d;
      for (int part : organ.divisions[d].parts) table[e] += partScaleTuning(part, bytes);
      table[e + kSystemLabelOffset] = std::to_string(e) + " " + temp.name + " " + kDivisionWords[d];
    }
  }
}

}  // namespace

std::uint8_t scaleTuningByte(double cents) {
  return static_cast<std::uint8_t>(0x40 + static_cast<int>(std::lround(cents)));
}

StopsTable buildStopsTable(const Organ& organ) {
  StopsTable table;
  putSystemEntries(organ, table);
  putStops(organ, table);
  putTemperaments(organ, table);
  for (int d = 0; d < kDivisions; ++d) table[kDivisionNameEntries[d]] = organ.divisions[d].name;
  return table;
}

}  // namespace kalvant::mkdata

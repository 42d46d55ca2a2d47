#include "OrganSource.h"

#include <algorithm>

namespace kalvant::mkdata {

namespace {

constexpr std::size_t kMaxLabelChars = 40;

DivisionId divisionByKey(const Where& where, const std::string& key) {
  for (int d = 0; d < kDivisions; ++d)
    if (lowerCase(key) == kDivisionKeys[d]) return static_cast<DivisionId>(d);
  where.fail("unknown division \"" + key + "\" (great, swell or pedal)");
}

DivisionId divisionOfStop(int index) {
  for (int d = 0; d < kDivisions; ++d)
    if (index >= kStopRanges[d][0] && index <= kStopRanges[d][1]) return static_cast<DivisionId>(d);
  return DivisionId::Great;
}

std::string text(const Setting& s, std::size_t maxChars) {
  std::string latin1 = utf8ToLatin1(s.where, s.value);
  if (latin1.size() > maxChars)
    s.where.fail("\"" + s.value + "\" is longer than " + std::to_string(maxChars) + " characters");
  return latin1;
}

void unknownKey(const Setting& s, const std::string& section) {
  s.where.fail("unknown setting \"" + s.key + "\" in [" + section + "]");
}

Tremulant parseTremulant(const Where& where, const std::string& value, Tremulant t) {
  for (const std::string& field : splitFields(value, ',')) {
    const auto [name, v] = splitWordValue(where, field);
    if (name == "rate")
      t.rate = parseInteger(where, v, -50, 50, "vibrato rate");
    else if (name == "depth")
      t.depth = parseInteger(where, v, -50, 50, "vibrato depth");
    else if (name == "delay")
      t.delay = parseInteger(where, v, -50, 50, "vibrato delay");
    else if (name == "pitch")
      t.pitch = parseInteger(where, v, 0, 127, "pitch depth");
    else if (name == "amplitude")
      t.amplitude = parseInteger(where, v, 0, 127, "amplitude depth");
    else
      where.fail("unknown tremulant setting \"" + name + "\"");
  }
  return t;
}

// "Church Organ 1, 8', level 96, pan -10, reverb 70, chorus 0[, channel 4]"
Rank parseRank(const Where& where, const std::string& value, Rank rank, bool withChannel) {
  const std::vector<std::string> fields = splitFields(value, ',');
  if (fields.size() < 2) where.fail("a rank is \"tone, pitch[, level N, pan N, ...]\"");
  const std::optional<Tone> tone = findTone(fields[0]);
  if (!tone) where.fail("unknown tone \"" + fields[0] + "\" (name it or write bank/program)");
  const std::optional<int> shift = keyShiftForPitch(fields[1]);
  if (!shift) where.fail("unknown pitch \"" + fields[1] + "\" (use one of " + knownPitches() + ")");
  rank.where = where;
  rank.tone = *tone;
  rank.keyShift = *shift;
  for (std::size_t i = 2; i < fields.size(); ++i) {
    const auto [name, v] = splitWordValue(where, fields[i]);
    if (name == "level")
      rank.level = parseInteger(where, v, 0, 127, "level");
    else if (name == "pan")
      rank.pan = parseInteger(where, v, -63, 63, "pan");
    else if (name == "reverb")
      rank.reverb = parseInteger(where, v, 0, 127, "reverb send");
    else if (name == "chorus")
      rank.chorus = parseInteger(where, v, 0, 127, "chorus send");
    else if (name == "channel" && withChannel)
      rank.channel = parseInteger(where, v, 1, 16, "channel");
    else
      where.fail("unknown rank setting \"" + name + "\"");
  }
  if (withChannel && rank.channel == 0) where.fail("a set-up part needs \"channel N\"");
  return rank;
}

void parseOrganSection(const Section& sec, Organ& organ) {
  for (const Setting& s : sec.settings) {
    if (s.key == "display") {
      organ.display = s.value;
      const bool ascii = std::all_of(organ.display.begin(), organ.display.end(),
                                     [](char c) { return c >= 0x20 && c < 0x7F; });
      if (!ascii || organ.display.empty() || organ.display.size() > kDisplayMaxChars)
        s.where.fail("the display shows 1..32 plain ASCII characters");
    } else if (s.key == "label") {
      organ.identificationLabel = text(s, kMaxLabelChars);
    } else if (s.key == "reset label") {
      organ.resetLabel = text(s, kMaxLabelChars);
    } else {
      unknownKey(s, "organ");
    }
  }
}

void parseDivision(const Section& sec, Organ& organ) {
  const DivisionId id = divisionByKey(sec.where, sec.argument);
  Division& d = organ.divisions[static_cast<int>(id)];
  if (d.present) sec.where.fail("division " + sec.argument + " is described twice");
  d.present = true;
  d.where = sec.where;
  d.firstStop = kStopRanges[static_cast<int>(id)][0];
  for (const Setting& s : sec.settings) {
    if (s.key == "name") {
      d.name = text(s, 20);
    } else if (s.key == "channel") {
      d.channel = parseInteger(s.where, s.value, 1, 16, "channel");
    } else if (s.key == "parts") {
      for (const std::string& p : splitFields(s.value, ' '))
        if (!p.empty()) d.parts.push_back(parseInteger(s.where, p, 1, 16, "part"));
    } else if (s.key == "tremulant") {
      d.tremulant = parseTremulant(s.where, s.value, d.tremulant);
    } else if (s.key == "rank defaults") {
      d.defaults = parseRank(s.where, "Church Organ 1, 8', " + s.value, d.defaults, false);
    } else {
      unknownKey(s, "division");
    }
  }
  if (d.channel == 0 || d.parts.empty() || d.name.empty())
    sec.where.fail("a division needs a name, a channel and its parts");
}

void parseStop(const Section& sec, Organ& organ) {
  Stop stop;
  stop.where = sec.where;
  stop.index = parseInteger(sec.where, sec.argument, 10, 99, "stop index");
  stop.division = divisionOfStop(stop.index);
  const Division& d = organ.divisions[static_cast<int>(stop.division)];
  if (!d.present) sec.where.fail("describe the division before its stops");
  if (organ.stops.count(stop.index)) sec.where.fail("stop " + sec.argument + " is described twice");
  stop.tremulant = d.tremulant;
  for (const Setting& s : sec.settings) {
    if (s.key == "name")
      stop.name = text(s, kMaxStopNameChars);
    else if (s.key == "tremulant")
      stop.tremulant = parseTremulant(s.where, s.value, d.tremulant);
    else if (s.key == "rank")
      stop.ranks.push_back(parseRank(s.where, s.value, d.defaults, false));
    else
      unknownKey(s, "stop");
  }
  if (stop.name.empty() || stop.ranks.empty()) sec.where.fail("a stop needs a name and a rank");
  if (stop.ranks.size() > d.parts.size())
    stop.ranks[d.parts.size()].where.fail("more ranks than the division has parts (" +
                                          std::to_string(d.parts.size()) + ")");
  organ.stops.emplace(stop.index, std::move(stop));
}

void parseSetup(const Section& sec, Organ& organ) {
  Setup setup;
  setup.where = sec.where;
  setup.entry = parseInteger(sec.where, sec.argument, 1, 6, "set-up entry");
  for (const Setting& s : sec.settings) {
    SetupItem item;
    item.where = s.where;
    if (s.key == "label") {
      setup.label = text(s, kMaxLabelChars);
      continue;
    } else if (s.key == "layout") {
      item.kind = SetupItem::Kind::Layout;
      for (const std::string& name : splitFields(s.value, ' ')) {
        if (name.empty()) continue;
        item.division = divisionByKey(s.where, name);
        setup.items.push_back(item);
      }
      continue;
    } else if (s.key == "chorus type") {
      item.kind = SetupItem::Kind::ChorusType;
      const auto macro = chorusMacro(s.value);
      if (!macro) s.where.fail("unknown chorus type \"" + s.value + "\"");
      item.chorusMacro = *macro;
    } else if (s.key.rfind("part ", 0) == 0) {
      item.part = parseInteger(s.where, s.key.substr(5), 1, 16, "part");
      if (lowerCase(s.value) == "off")
        item.kind = SetupItem::Kind::PartOff;
      else
        item.rank = parseRank(s.where, s.value, Rank{}, true);
    } else {
      unknownKey(s, "setup");
    }
    setup.items.push_back(item);
  }
  organ.setups.push_back(std::move(setup));
}

void parseReverb(const Section& sec, Organ& organ) {
  Reverb r;
  r.where = sec.where;
  r.entry = parseInteger(sec.where, sec.argument, 7, 9, "reverb entry");
  for (const Setting& s : sec.settings) {
    if (s.key == "label") {
      r.label = text(s, kMaxLabelChars);
    } else if (s.key == "type") {
      const auto macro = reverbMacro(s.value);
      if (!macro) s.where.fail("unknown reverb type \"" + s.value + "\"");
      r.macro = *macro;
    } else if (s.key == "level") {
      r.level = static_cast<std::uint8_t>(parseInteger(s.where, s.value, 0, 127, "reverb level"));
    } else if (s.key == "time") {
      r.time = static_cast<std::uint8_t>(parseInteger(s.where, s.value, 0, 127, "reverb time"));
    } else {
      unknownKey(s, "reverb");
    }
  }
  organ.reverbs.push_back(r);
}

void parseTemperament(const Section& sec, Organ& organ) {
  const int n = parseInteger(sec.where, sec.argument, 1, kTemperaments, "temperament");
  Temperament& t = organ.temperaments[n - 1];
  if (organ.temperamentPresent[n - 1]) sec.where.fail("temperament " + sec.argument + " twice");
  organ.temperamentPresent[n - 1] = true;
  t.where = sec.where;
  bool haveCents = false;
  for (const Setting& s : sec.settings) {
    if (s.key == "name") {
      t.name = text(s, 20);
    } else if (s.key == "cents") {
      std::vector<std::string> words;
      for (const std::string& w : splitFields(s.value, ' '))
        if (!w.empty()) words.push_back(w);
      if (words.size() != 12) s.where.fail("a temperament gives 12 cent values, C to B");
      for (int i = 0; i < 12; ++i) {
        t.cents[i] = parseDecimal(s.where, words[i], "cents");
        if (t.cents[i] < -64.0 || t.cents[i] > 63.0)
          s.where.fail("scale tuning reaches -64..+63 cents only");
      }
      haveCents = true;
    } else {
      unknownKey(s, "temperament");
    }
  }
  if (t.name.empty() || !haveCents) sec.where.fail("a temperament needs a name and its cents");
}

void checkWhole(const std::string& path, const Organ& organ) {
  const Where top{path, 1};
  std::vector<int> usedParts;
  for (const Division& d : organ.divisions) {
    if (!d.present) top.fail("the great, swell and pedal divisions must all be described");
    for (int p : d.parts) {
      if (std::count(usedParts.begin(), usedParts.end(), p))
        d.where.fail("part " + std::to_string(p) + " belongs to two divisions");
      usedParts.push_back(p);
    }
    if (!organ.stops.count(d.firstStop))
      d.where.fail("stop " + std::to_string(d.firstStop) + " is always playable: describe it");
  }
  for (int t = 0; t < kTemperaments; ++t)
    if (!organ.temperamentPresent[t]) top.fail("temperaments 1..4 must all be described");
  std::array<int, 10> described{};  // set-ups 1..6 and reverbs 7..9, each once
  for (const Setup& s : organ.setups)
    if (++described[s.entry] > 1) s.where.fail("set-up " + std::to_string(s.entry) + " twice");
  for (const Reverb& r : organ.reverbs)
    if (++described[r.entry] > 1) r.where.fail("reverb " + std::to_string(r.entry) + " twice");
  for (int e = 1; e <= 9; ++e)
    if (!described[e])
      top.fail(std::string(e <= 6 ? "[setup " : "[reverb ") + std::to_string(e) + "] is missing");
  for (const Setup& s : organ.setups)
    for (const SetupItem& item : s.items)
      if ((item.kind == SetupItem::Kind::Part || item.kind == SetupItem::Kind::PartOff) &&
          std::count(usedParts.begin(), usedParts.end(), item.part))
        item.where.fail("part " + std::to_string(item.part) +
                        " belongs to a division; its stops set it up");
}

}  // namespace

Organ parseOrgan(const std::string& bytes, const std::string& path) {
  Organ organ;
  for (const Section& sec : parseSections(bytes, path)) {
    if (sec.kind == "organ")
      parseOrganSection(sec, organ);
    else if (sec.kind == "division")
      parseDivision(sec, organ);
    else if (sec.kind == "stop")
      parseStop(sec, organ);
    else if (sec.kind == "setup")
      parseSetup(sec, organ);
    else if (sec.kind == "reverb")
      parseReverb(sec, organ);
    else if (sec.kind == "temperament")
      parseTemperament(sec, organ);
    else
      sec.where.fail("unknown section [" + sec.kind + "]");
  }
  checkWhole(path, organ);
  return organ;
}

}  // namespace kalvant::mkdata

#include "synth/GsState.h"

#include <algorithm>

namespace kalvant::synth {

namespace {

// One byte-sized parameter of a part: 40 1x <offset> (block 1) or
// 40 2x <offset> (block 2, the controller depths).
struct PartField {
  int block;
  std::uint8_t offset;
  std::uint8_t PartState::*field;
  std::uint8_t min;
  std::uint8_t max;
  bool clamp;  // out-of-range values are pulled in; otherwise ignored
  Param param;
};

constexpr PartField kPartFields[] = {
    {1, gs::kTone, &PartState::toneBank, 0, 127, true, Param::Tone},
    {1, gs::kTone + 1, &PartState::toneProgram, 0, 127, true, Param::Tone},
    // A channel number past "off" means nothing: the part keeps its channel.
    {1, gs::kRxChannel, &PartState::rxChannel, 0, kRxOff, false, Param::RxChannel},
    {1, gs::kRhythmPart, &PartState::rhythm, 0, 2, false, Param::Rhythm},
    // Two octaves either way: 28h = -24 .. 58h = +24.
    {1, gs::kKeyShift, &PartState::keyShift, 0x28, 0x58, true, Param::KeyShift},
    {1, gs::kLevel, &PartState::level, 0, 127, true, Param::Level},
    {1, gs::kPan, &PartState::pan, 0, 127, true, Param::Pan},
    {1, gs::kChorusSend, &PartState::chorusSend, 0, 127, true, Param::ChorusSend},
    {1, gs::kReverbSend, &PartState::reverbSend, 0, 127, true, Param::ReverbSend},
    // -50..+50 around 40h.
    {1, gs::kVibratoRate, &PartState::vibratoRate, 0x0E, 0x72, true, Param::Vibrato},
    {1, gs::kVibratoDepth, &PartState::vibratoDepth, 0x0E, 0x72, true, Param::Vibrato},
    {1, gs::kVibratoDelay, &PartState::vibratoDelay, 0x0E, 0x72, true, Param::Vibrato},
    {2, gs::kModPitchDepth, &PartState::modPitchDepth, 0, 127, true, Param::ModDepth},
    {2, gs::kModAmplitudeDepth, &PartState::modAmplitudeDepth, 0, 127, true, Param::ModDepth},
};

constexpr std::uint8_t kScaleTuningFirst = gs::kScaleTuning;
constexpr std::uint8_t kScaleTuningLast = 0x4B;

struct SystemField {
  std::uint8_t offset;
  std::uint8_t SystemState::*field;
  std::uint8_t max;
  Param param;
};

constexpr SystemField kSystemFields[] = {
    {gs::kReverbMacro, &SystemState::reverbMacro, 7, Param::Reverb},
    {gs::kReverbLevel, &SystemState::reverbLevel, 127, Param::Reverb},
    {gs::kReverbTime, &SystemState::reverbTime, 127, Param::Reverb},
    {gs::kChorusMacro, &SystemState::chorusMacro, 7, Param::Chorus},
    {gs::kChorusLevel, &SystemState::chorusLevel, 127, Param::Chorus},
};

}  // namespace

int partOfBlock(int x) {
  if (x < 0 || x > 15) return -1;
  if (x == 0) return 9;
  return x <= 9 ? x - 1 : x;
}

int blockOfPart(int part) {
  if (part == 9) return 0;
  return part < 9 ? part + 1 : part;
}

void GsInterpreter::reset() {
  for (int i = 0; i < kParts; ++i) {
    PartState p;
    p.rxChannel = static_cast<std::uint8_t>(i);
    p.scaleTuning.fill(kCentre);
    p.rhythm = i == 9 ? 1 : 0;  // part 10 plays the drums
    parts_[static_cast<std::size_t>(i)] = p;
  }
  system_ = SystemState{};
}

void GsInterpreter::receiveSysex(const std::uint8_t* bytes, std::size_t size, ChangeSink& sink) {
  const ParsedSysex parsed = parseSysex(bytes, size);
  switch (parsed.verdict) {
    case SysexVerdict::NotForUs:
      ++counts_.notForUs;
      return;
    case SysexVerdict::Malformed:
      ++counts_.malformed;
      return;
    case SysexVerdict::DataSet:
      break;
  }
  write(parsed.address, parsed.data, parsed.size, sink);
}

std::vector<Change> GsInterpreter::receiveSysex(const std::uint8_t* bytes, std::size_t size) {
  struct Collect : ChangeSink {
    std::vector<Change> changes;
    void changed(const Change& c) override { changes.push_back(c); }
  } collect;
  receiveSysex(bytes, size, collect);
  return std::move(collect.changes);
}

void GsInterpreter::write(std::uint32_t address, const std::uint8_t* data, std::size_t size,
                          ChangeSink& sink) {
  // A multi-byte write (tone number, scale tuning) is one change, passed on
  // once its last byte is written.
  Change pending{Param::Reset};
  bool known = false;
  for (std::size_t i = 0; i < size; ++i) {
    Change change{Param::Reset};
    if (!writeByte(address + static_cast<std::uint32_t>(i), data[i], change)) continue;
    if (known && !(pending == change)) sink.changed(pending);
    pending = change;
    known = true;
  }
  if (known) sink.changed(pending);
  ++(known ? counts_.dataSets : counts_.unknownAddress);
}

bool GsInterpreter::writeByte(std::uint32_t address, std::uint8_t value, Change& change) {
  const auto a1 = static_cast<std::uint8_t>(address >> 14);
  const auto a2 = static_cast<std::uint8_t>((address >> 7) & 0x7F);
  const auto a3 = static_cast<std::uint8_t>(address & 0x7F);
  if (a1 != 0x40) return false;
  if (a2 == 0x00 && a3 == 0x7F) {
    if (value != 0) return false;
    reset();
    change = {Param::Reset};
    return true;
  }
  if (a2 == 0x01) return writeSystem(a3, value, change);
  const int block = a2 >> 4;
  if (block != 1 && block != 2) return false;
  return writePart(partOfBlock(a2 & 0x0F), block, a3, value, change);
}

bool GsInterpreter::writePart(int part, int block, std::uint8_t offset, std::uint8_t value,
                              Change& change) {
  PartState& p = parts_[static_cast<std::size_t>(part)];
  if (block == 1 && offset >= kScaleTuningFirst && offset <= kScaleTuningLast) {
    p.scaleTuning[offset - kScaleTuningFirst] = value;
    change = {Param::ScaleTuning, part};
    return true;
  }
  for (const PartField& f : kPartFields) {
    if (f.block != block || f.offset != offset) continue;
    if (!f.clamp && (value < f.min || value > f.max)) return false;
    p.*f.field = std::clamp(value, f.min, f.max);
    change = {f.param, part};
    return true;
  }
  return false;
}

bool GsInterpreter::writeSystem(std::uint8_t offset, std::uint8_t value, Change& change) {
  for (const SystemField& f : kSystemFields) {
    if (f.offset != offset) continue;
    system_.*f.field = std::min(value, f.max);
    change = {f.param};
    return true;
  }
  return false;
}

}  // namespace kalvant::synth

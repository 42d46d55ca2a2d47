#include "Gs.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <stdexcept>

#include "synth/GsState.h"

namespace kalvant::mkdata {

namespace {

bool sameWords(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

struct NamedTone {
  std::string_view name;
  Tone tone;
};

// The tones an organ is made of. Variation banks (8, 16, 24, 32) fall back
// to the bank 0 tone on modules that lack them.
constexpr std::array<NamedTone, 37> kTones{{
    {"Church Organ 1", {0, 19}},  {"Church Organ 2", {8, 19}},
    {"Church Organ 3", {16, 19}}, {"Organ Flute", {24, 19}},
    {"Tremolo Flute", {32, 19}},  {"Reed Organ", {0, 20}},
    {"Drawbar Organ", {0, 16}},   {"Percussive Organ", {0, 17}},
    {"Rock Organ", {0, 18}},      {"Piccolo", {0, 72}},
    {"Flute", {0, 73}},           {"Recorder", {0, 74}},
    {"Pan Flute", {0, 75}},       {"Oboe", {0, 68}},
    {"English Horn", {0, 69}},    {"Bassoon", {0, 70}},
    {"Clarinet", {0, 71}},        {"Trumpet", {0, 56}},
    {"Trombone", {0, 57}},        {"Tuba", {0, 58}},
    {"French Horn", {0, 60}},     {"Strings 1", {0, 48}},
    {"Strings 2", {0, 49}},       {"Violin", {0, 40}},
    {"Viola", {0, 41}},           {"Cello", {0, 42}},
    {"Contrabass", {0, 43}},      {"Choir Aahs", {0, 52}},
    {"Voice Oohs", {0, 53}},      {"Harp", {0, 46}},
    {"Tubular Bells", {0, 14}},   {"Celesta", {0, 8}},
    {"Glockenspiel", {0, 9}},     {"Harpsichord", {0, 6}},
    {"Piano 1", {0, 0}},          {"Standard Kit", {0, 0}},
    {"Brass 1", {0, 61}},
}};

struct Pitch {
  std::string_view feet;
  int keyShift;
};

// The key shift of the module reaches two octaves either way: 32' to 2'.
constexpr std::array<Pitch, 8> kPitches{{
    {"32'", -24},
    {"16'", -12},
    {"10 2/3'", -5},
    {"8'", 0},
    {"5 1/3'", 7},
    {"4'", 12},
    {"2 2/3'", 19},
    {"2'", 24},
}};

constexpr std::array<std::string_view, 8> kReverbMacros{
    "Room 1", "Room 2", "Room 3", "Hall 1", "Hall 2", "Plate", "Delay", "Panning Delay"};
constexpr std::array<std::string_view, 8> kChorusMacros{
    "Chorus 1",        "Chorus 2", "Chorus 3",    "Chorus 4",
    "Feedback Chorus", "Flanger",  "Short Delay", "Short Delay FB"};

void require7Bit(std::uint8_t b) {
  if (b > 0x7F) throw std::logic_error("GS data byte above 7Fh");
}

}  // namespace

std::string dataSet(std::uint8_t model, std::uint8_t a1, std::uint8_t a2, std::uint8_t a3,
                    const std::vector<std::uint8_t>& data) {
  for (std::uint8_t b : {a1, a2, a3}) require7Bit(b);
  for (std::uint8_t b : data) require7Bit(b);
  const synth::Bytes m = synth::makeDataSet(synth::gsAddress(a1, a2, a3), data, model);
  return std::string(m.begin(), m.end());
}

std::string gsReset() {
  const synth::Bytes m = synth::gsResetMessage();
  return std::string(m.begin(), m.end());
}

namespace {

// Part p (1..16) in block 40 1x (or 40 2x with the controller block).
std::string partDataSet(int part, std::uint8_t block, std::uint8_t offset,
                        const std::vector<std::uint8_t>& data) {
  if (part < 1 || part > synth::kParts) throw std::logic_error("part out of range");
  const auto x = static_cast<std::uint8_t>(synth::blockOfPart(part - 1));
  return dataSet(synth::kGsModel, 0x40, static_cast<std::uint8_t>(block | x), offset, data);
}

}  // namespace

std::string partParameter(int part, std::uint8_t offset, std::uint8_t value) {
  return partDataSet(part, 0x10, offset, {value});
}

std::string partControllerParameter(int part, std::uint8_t offset, std::uint8_t value) {
  return partDataSet(part, 0x20, offset, {value});
}

std::string partTone(int part, std::uint8_t bank, std::uint8_t program) {
  return partDataSet(part, 0x10, gs::kTone, {bank, program});
}

std::string partScaleTuning(int part, const std::vector<std::uint8_t>& twelveBytes) {
  if (twelveBytes.size() != 12) throw std::logic_error("scale tuning needs 12 bytes");
  return partDataSet(part, 0x10, gs::kScaleTuning, twelveBytes);
}

std::string reverbParameter(std::uint8_t offset, std::uint8_t value) {
  return dataSet(synth::kGsModel, 0x40, 0x01, offset, {value});
}

std::optional<Tone> findTone(std::string_view name) {
  for (const NamedTone& t : kTones)
    if (sameWords(t.name, name)) return t.tone;
  const std::size_t slash = name.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  int bank = -1, program = -1;
  const std::string_view b = name.substr(0, slash), p = name.substr(slash + 1);
  auto rb = std::from_chars(b.data(), b.data() + b.size(), bank);
  auto rp = std::from_chars(p.data(), p.data() + p.size(), program);
  if (rb.ec != std::errc() || rb.ptr != b.data() + b.size() || rp.ec != std::errc() ||
      rp.ptr != p.data() + p.size() || bank < 0 || bank > 127 || program < 0 || program > 127)
    return std::nullopt;
  return Tone{static_cast<std::uint8_t>(bank), static_cast<std::uint8_t>(program)};
}

std::optional<int> keyShiftForPitch(std::string_view feet) {
  if (!feet.empty() && feet.back() == '\'') feet.remove_suffix(1);  // the foot mark is optional
  for (const Pitch& p : kPitches)
    if (p.feet.substr(0, p.feet.size() - 1) == feet) return p.keyShift;
  return std::nullopt;
}

std::string knownPitches() {
  std::string s;
  for (const Pitch& p : kPitches) {
    if (!s.empty()) s += ", ";
    s += p.feet;
  }
  return s;
}

std::optional<std::uint8_t> reverbMacro(std::string_view name) {
  for (std::size_t i = 0; i < kReverbMacros.size(); ++i)
    if (sameWords(kReverbMacros[i], name)) return static_cast<std::uint8_t>(i);
  return std::nullopt;
}

std::optional<std::uint8_t> chorusMacro(std::string_view name) {
  for (std::size_t i = 0; i < kChorusMacros.size(); ++i)
    if (sameWords(kChorusMacros[i], name)) return static_cast<std::uint8_t>(i);
  return std::nullopt;
}

}  // namespace kalvant::mkdata

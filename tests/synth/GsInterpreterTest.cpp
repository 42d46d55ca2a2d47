// The GS interpreter against the address map.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "synth/GsState.h"

namespace kalvant::synth {
namespace {

using Changes = std::vector<Change>;
Changes receive(GsInterpreter& g, const Bytes& m) {
  return g.receiveSysex(m.data(), m.size());
}
Bytes hex(const char* text) {
  std::istringstream in(text);
  Bytes out;
  for (int b; in >> std::hex >> b;) out.push_back(static_cast<std::uint8_t>(b));
  return out;
}

struct AddressCase {
  std::uint32_t address;
  std::uint8_t value;
  std::function<int(const GsInterpreter&)> get;
  Param param;
  int part;  // -1 for the system block
};

// Parts 3, 10 and 12 cover the three kinds of block number (3, 0 and B).
std::vector<AddressCase> addressCases() {
  std::vector<AddressCase> cases;
  using P = PartState;
  using enum Param;
  for (auto [part, x] : {std::pair{2, 0x3}, {9, 0x0}, {11, 0xB}}) {
    const int rhythm = part == 9 ? 0 : 2;
    // clang-format off
    const std::tuple<int, int, std::uint8_t P::*, Param> rows[] = {  // 0x1aa: aa in block 2x
        {0x00, 8, &P::toneBank, Tone},          {0x01, 19, &P::toneProgram, Tone},
        {0x02, 5, &P::rxChannel, RxChannel},    {0x02, 0x10, &P::rxChannel, RxChannel},
        {0x15, rhythm, &P::rhythm, Rhythm},     {0x16, 0x4C, &P::keyShift, KeyShift},
        {0x19, 77, &P::level, Level},           {0x1C, 0x20, &P::pan, Pan},
        {0x21, 33, &P::chorusSend, ChorusSend}, {0x22, 99, &P::reverbSend, ReverbSend},
        {0x30, 0x48, &P::vibratoRate, Vibrato}, {0x31, 0x0E, &P::vibratoDepth, Vibrato},
        {0x37, 0x72, &P::vibratoDelay, Vibrato}, {0x104, 4, &P::modPitchDepth, ModDepth},
        {0x106, 28, &P::modAmplitudeDepth, ModDepth}};
    // clang-format on
    for (const auto& [a, v, f, p] : rows)
      cases.push_back(
          {gsAddress(0x40, ((a >> 8) + 1) << 4 | x, a & 0xFF), static_cast<std::uint8_t>(v),
           [part, f](const GsInterpreter& g) { return int{g.part(part).*f}; }, p, part});
    for (int k = 0; k < 12; ++k)
      cases.push_back(
          {gsAddress(0x40, 0x10 | x, static_cast<std::uint8_t>(0x40 + k)),
           static_cast<std::uint8_t>(0x30 + k),
           [part, k](const GsInterpreter& g) { return int{g.part(part).scaleTuning[k]}; },
           ScaleTuning, part});
  }
  using S = SystemState;
  for (auto [a3, v, f, p] : {std::tuple{0x30, 3, &S::reverbMacro, Reverb},
                             {0x33, 72, &S::reverbLevel, Reverb},
                             {0x34, 84, &S::reverbTime, Reverb},
                             {0x38, 5, &S::chorusMacro, Chorus},
                             {0x3A, 20, &S::chorusLevel, Chorus}})
    cases.push_back({gsAddress(0x40, 0x01, static_cast<std::uint8_t>(a3)),
                     static_cast<std::uint8_t>(v),
                     [f](const GsInterpreter& g) { return int{g.system().*f}; }, p, -1});
  return cases;
}

TEST(GsInterpreter, EveryAddressTakesAGoodDataSetAndRefusesABadChecksum) {
  for (const AddressCase& c : addressCases()) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.address);
    GsInterpreter good;
    const int before = c.get(good);
    ASSERT_NE(before, c.value) << "the case must change something";
    const Bytes m = makeDataSet(c.address, {c.value});
    EXPECT_EQ(receive(good, m), (Changes{{c.param, c.part}}));
    EXPECT_EQ(c.get(good), c.value);
    EXPECT_EQ(good.counts().dataSets, 1);
    for (int delta : {1, 127}) {
      GsInterpreter bad;
      Bytes damaged = m;
      damaged.end()[-2] = static_cast<std::uint8_t>((damaged.end()[-2] + delta) & 0x7F);
      EXPECT_TRUE(receive(bad, damaged).empty());
      EXPECT_EQ(c.get(bad), before);
      EXPECT_EQ(bad.counts().malformed, 1);
    }
  }
}

TEST(GsInterpreter, ChecksumsOfTheModuleNotes) {
  const std::pair<Bytes, const char*> rows[] = {
      {makeDataSet(gsAddress(0x40, 0x11, 0x00), {0x00, 0x13}),
       "F0 41 10 42 12 40 11 00 00 13 1C F7"},
      {makeDataSet(gsAddress(0x40, 0x12, 0x02), {0x01}), "F0 41 10 42 12 40 12 02 01 2B F7"},
      {makeDataSet(gsAddress(0x40, 0x01, 0x30), {0x03}), "F0 41 10 42 12 40 01 30 03 0C F7"},
      {gsResetMessage(), "F0 41 10 42 12 40 00 7F 00 41 F7"}};
  for (const auto& [made, expected] : rows) EXPECT_EQ(made, hex(expected));
  const int blockParts[16] = {9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15};
  for (int x = 0; x < 16; ++x)
    EXPECT_EQ(std::pair(partOfBlock(x), blockOfPart(blockParts[x])), std::pair(blockParts[x], x));
}

TEST(GsInterpreter, MessagesForOthersAreIgnoredAndDamagedOrUnknownOnesCounted) {
  const Bytes good = makeDataSet(gsAddress(0x40, 0x11, 0x19), {50});
  const auto with = [&good](std::size_t at, std::uint8_t v) {
    Bytes m = good;
    m[at] = v;
    return m;
  };
  enum { NotForUs, Malformed, Unknown };
  const std::tuple<const char*, Bytes, int> rows[] = {
      {"device 11h", with(2, 0x11), NotForUs},
      {"device 7Fh", with(2, 0x7F), NotForUs},
      {"another maker", with(1, 0x43), NotForUs},
      {"display model", with(3, 0x45), NotForUs},
      {"data request RQ1", with(4, 0x11), NotForUs},
      {"universal", hex("F0 7E 7F 09 01 F7"), NotForUs},
      {"8-bit data", with(8, 0x80 | 50), Malformed},
      {"8-bit address", with(6, 0x91), Malformed},
      {"no F7", with(good.size() - 1, 0), Malformed},
      {"no data", hex("F0 41 10 42 12 40 11 19 16 F7"), Malformed},
      {"not sysex", with(0, 0x90), Malformed},
      {"unknown offset", makeDataSet(gsAddress(0x40, 0x11, 0x7A), {1}), Unknown},
      {"unknown a1", makeDataSet(gsAddress(0x41, 0x11, 0x19), {1}), Unknown},
      {"unknown block", makeDataSet(gsAddress(0x40, 0x31, 0x19), {1}), Unknown},
      {"reset with data 01", makeDataSet(gsAddress(0x40, 0x00, 0x7F), {1}), Unknown}};
  for (const auto& [name, m, count] : rows) {
    GsInterpreter g;
    EXPECT_TRUE(receive(g, m).empty()) << name;
    const SysexCounts& n = g.counts();
    EXPECT_EQ(std::tuple(g.part(0).level, n.notForUs, n.malformed, n.unknownAddress, n.dataSets),
              std::tuple(100, count == NotForUs, count == Malformed, count == Unknown, 0))
        << name;
  }
  // Cut short anywhere, with the F7 a port hands over when bytes were lost.
  for (std::size_t length = 0; length + 1 < good.size(); ++length) {
    GsInterpreter g;
    Bytes cut(good.begin(), good.begin() + static_cast<long>(length));
    if (length > 0) cut.push_back(0xF7);
    EXPECT_TRUE(receive(g, cut).empty()) << length;
    EXPECT_EQ(g.counts().dataSets, 0) << length;
  }
}

TEST(GsInterpreter, MultiByteWritesFillConsecutiveAddressesAndSkipUnknownOnes) {
  GsInterpreter g;
  const Bytes meantone = hex("4A 32 43 55 3D 4E 36 47 2F 40 51 39");
  const Bytes m = makeDataSet(gsAddress(0x40, 0x11, 0x40), meantone);
  EXPECT_EQ(m.end()[-2], 0x5A);
  EXPECT_EQ(receive(g, m), (Changes{{Param::ScaleTuning, 0}}));
  EXPECT_EQ(Bytes(g.part(0).scaleTuning.begin(), g.part(0).scaleTuning.end()), meantone);
  EXPECT_EQ(receive(g, makeDataSet(gsAddress(0x40, 0x1A, 0x00), {16, 19})),
            (Changes{{Param::Tone, 10}}));
  EXPECT_EQ(std::pair(int{g.part(10).toneBank}, int{g.part(10).toneProgram}), std::pair(16, 19));
  EXPECT_EQ(receive(g, makeDataSet(gsAddress(0x40, 0x14, 0x19), {90, 0x55, 0x55, 0x30})),
            (Changes{{Param::Level, 3}, {Param::Pan, 3}}));
  EXPECT_EQ(std::pair(int{g.part(3).level}, int{g.part(3).pan}), std::pair(90, 0x30));
}

TEST(GsInterpreter, ValuesOutsideARangeAreClampedOrRefused) {
  const std::tuple<std::uint8_t, std::uint8_t, std::uint8_t PartState::*, int> rows[] = {
      {0x16, 0x7F, &PartState::keyShift, 0x58},    {0x16, 0x00, &PartState::keyShift, 0x28},
      {0x30, 0x00, &PartState::vibratoRate, 0x0E}, {0x31, 0x7F, &PartState::vibratoDepth, 0x72},
      {0x02, 0x11, &PartState::rxChannel, 0},      {0x15, 0x05, &PartState::rhythm, 0}};
  for (const auto& [a3, value, field, expected] : rows) {
    GsInterpreter g;
    receive(g, makeDataSet(gsAddress(0x40, 0x11, a3), {value}));
    EXPECT_EQ(g.part(0).*field, expected) << std::hex << int{a3};
  }
}

TEST(GsInterpreter, GsResetRestoresTheModuleDefaults) {
  GsInterpreter g;
  for (const AddressCase& c : addressCases()) receive(g, makeDataSet(c.address, {c.value}));
  EXPECT_EQ(receive(g, gsResetMessage()), (Changes{{Param::Reset}}));
  const auto ints = [](auto... v) { return std::vector<int>{int{v}...}; };
  for (int p = 0; p < kParts; ++p) {
    const PartState& s = g.part(p);
    EXPECT_EQ(ints(s.rxChannel, s.rhythm, s.toneBank, s.toneProgram, s.keyShiftSemitones(), s.level,
                   s.pan, s.reverbSend, s.chorusSend, s.vibratoRate, s.vibratoDepth, s.vibratoDelay,
                   s.modPitchDepth, s.modAmplitudeDepth, s.scaleTuning[0], s.scaleTuning[11]),
              (std::vector<int>{p, p == 9, 0, 0, 0, 100, 0x40, 40, 0, 0x40, 0x40, 0x40, 0x0A, 0,
                                0x40, 0x40}))
        << "part " << p + 1;
  }
  const SystemState& y = g.system();
  EXPECT_EQ(ints(y.reverbMacro, y.reverbLevel, y.reverbTime, y.chorusMacro),
            (std::vector<int>{4, 64, 64, 2}));
}

}  // namespace
}  // namespace kalvant::synth

// The GS interpreter against the address map: every parameter with good and
// bad checksums, messages that are not ours or are damaged, multi-byte
// writes, ranges and the GS reset's defaults.

#include <gtest/gtest.h>

#include <functional>

#include "synth/GsState.h"

namespace kalvant::synth {
namespace {

using Changes = std::vector<Change>;

Changes receive(GsInterpreter& g, const Bytes& m) {
  return g.receiveSysex(m.data(), m.size());
}

struct AddressCase {
  std::uint32_t address;
  std::uint8_t value;
  std::function<int(const GsInterpreter&)> get;
  Param param;
  int part;  // -1 for the system block
};

// Part 3 (block 3), part 10 (block 0) and part 12 (block B) cover the three
// kinds of block number.
std::vector<AddressCase> addressCases() {
  std::vector<AddressCase> cases;
  using P = PartState;
  for (auto [part, x] : {std::pair{2, 0x3}, {9, 0x0}, {11, 0xB}}) {
    const std::tuple<std::uint8_t, std::uint8_t, int, std::uint8_t P::*, Param> rows[] = {
        {0x10, 0x00, 8, &P::toneBank, Param::Tone},
        {0x10, 0x01, 19, &P::toneProgram, Param::Tone},
        {0x10, 0x02, 5, &P::rxChannel, Param::RxChannel},
        {0x10, 0x02, 0x10, &P::rxChannel, Param::RxChannel},
        {0x10, 0x15, part == 9 ? 0 : 2, &P::rhythm, Param::Rhythm},
        {0x10, 0x16, 0x4C, &P::keyShift, Param::KeyShift},
        {0x10, 0x19, 77, &P::level, Param::Level},
        {0x10, 0x1C, 0x20, &P::pan, Param::Pan},
        {0x10, 0x21, 33, &P::chorusSend, Param::ChorusSend},
        {0x10, 0x22, 99, &P::reverbSend, Param::ReverbSend},
        {0x10, 0x30, 0x48, &P::vibratoRate, Param::Vibrato},
        {0x10, 0x31, 0x0E, &P::vibratoDepth, Param::Vibrato},
        {0x10, 0x37, 0x72, &P::vibratoDelay, Param::Vibrato},
        {0x20, 0x04, 4, &P::modPitchDepth, Param::ModDepth},
        {0x20, 0x06, 28, &P::modAmplitudeDepth, Param::ModDepth}};
    for (const auto& [b2, a3, v, f, p] : rows)
      cases.push_back({gsAddress(0x40, b2 | x, a3), static_cast<std::uint8_t>(v),
                       [part, f](const GsInterpreter& g) { return int{g.part(part).*f}; }, p,
                       part});
    for (int k = 0; k < 12; ++k) {
      const auto a3 = static_cast<std::uint8_t>(0x40 + k), v = static_cast<std::uint8_t>(0x30 + k);
      const auto get = [part, k](const GsInterpreter& g) {
        return int{g.part(part).scaleTuning[k]};
      };
      cases.push_back({gsAddress(0x40, 0x10 | x, a3), v, get, Param::ScaleTuning, part});
    }
  }
  using S = SystemState;
  for (auto [a3, v, f, p] : {std::tuple{0x30, 3, &S::reverbMacro, Param::Reverb},
                             {0x33, 72, &S::reverbLevel, Param::Reverb},
                             {0x34, 84, &S::reverbTime, Param::Reverb},
                             {0x38, 5, &S::chorusMacro, Param::Chorus},
                             {0x3A, 20, &S::chorusLevel, Param::Chorus}})
    cases.push_back({gsAddress(0x40, 0x01, static_cast<std::uint8_t>(a3)),
                     static_cast<std::uint8_t>(v),
                     [f](const GsInterpreter& g) { return int{g.system().*f}; }, p, -1});
  return cases;
}

TEST(GsInterpreter, EveryAddressTakesAGoodDataSetAndRefusesABadChecksum) {
  for (const AddressCase& c : addressCases()) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.address << " part " << c.part + 1);
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
  const std::pair<Bytes, Bytes> examples[] = {
      {makeDataSet(gsAddress(0x40, 0x11, 0x00), {0x00, 0x13}),
       {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x11, 0x00, 0x00, 0x13, 0x1C, 0xF7}},
      {makeDataSet(gsAddress(0x40, 0x12, 0x02), {0x01}),
       {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x12, 0x02, 0x01, 0x2B, 0xF7}},
      {makeDataSet(gsAddress(0x40, 0x01, 0x30), {0x03}),
       {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x30, 0x03, 0x0C, 0xF7}},
      {gsResetMessage(), {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}},
  };
  for (const auto& [made, expected] : examples) EXPECT_EQ(made, expected);
  const int blockParts[16] = {9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15};
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(partOfBlock(x), blockParts[x]) << x;
    EXPECT_EQ(blockOfPart(blockParts[x]), x);
  }
}

TEST(GsInterpreter, MessagesForOthersAreIgnoredAndDamagedOrUnknownOnesCounted) {
  const Bytes good = makeDataSet(gsAddress(0x40, 0x11, 0x19), {50});
  enum Count { NotForUs, Malformed, Unknown };
  struct Case {
    const char* name;
    Bytes m;
    Count count;
  };
  const auto with = [&good](std::size_t at, std::uint8_t v) {
    Bytes m = good;
    m[at] = v;
    return m;
  };
  const Case cases[] = {
      {"device 11h", with(2, 0x11), NotForUs},
      {"device 7Fh", with(2, 0x7F), NotForUs},
      {"another maker", with(1, 0x43), NotForUs},
      {"display model", with(3, 0x45), NotForUs},
      {"data request RQ1", with(4, 0x11), NotForUs},
      {"universal", {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, NotForUs},
      {"8-bit data", with(8, 0x80 | 50), Malformed},
      {"8-bit address", with(6, 0x91), Malformed},
      {"no F7", with(good.size() - 1, 0), Malformed},
      {"no data", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x11, 0x19, 0x16, 0xF7}, Malformed},
      {"not sysex", with(0, 0x90), Malformed},
      {"unknown offset", makeDataSet(gsAddress(0x40, 0x11, 0x7A), {1}), Unknown},
      {"unknown a1", makeDataSet(gsAddress(0x41, 0x11, 0x19), {1}), Unknown},
      {"unknown block", makeDataSet(gsAddress(0x40, 0x31, 0x19), {1}), Unknown},
      {"reset with data 01", makeDataSet(gsAddress(0x40, 0x00, 0x7F), {1}), Unknown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GsInterpreter g;
    EXPECT_TRUE(receive(g, c.m).empty());
    EXPECT_EQ(g.part(0).level, 100);
    EXPECT_EQ(g.counts().notForUs, c.count == NotForUs ? 1 : 0);
    EXPECT_EQ(g.counts().malformed, c.count == Malformed ? 1 : 0);
    EXPECT_EQ(g.counts().unknownAddress, c.count == Unknown ? 1 : 0);
    EXPECT_EQ(g.counts().dataSets, 0);
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

TEST(GsInterpreter, MultiByteWritesFillConsecutiveAddresses) {
  GsInterpreter g;
  // Quarter-comma meantone on part 1, as the module notes give it (checksum 5Ah).
  const Bytes meantone{0x4A, 0x32, 0x43, 0x55, 0x3D, 0x4E, 0x36, 0x47, 0x2F, 0x40, 0x51, 0x39};
  const Bytes m = makeDataSet(gsAddress(0x40, 0x11, 0x40), meantone);
  EXPECT_EQ(m.end()[-2], 0x5A);
  EXPECT_EQ(receive(g, m), (Changes{{Param::ScaleTuning, 0}}));
  EXPECT_TRUE(std::equal(meantone.begin(), meantone.end(), g.part(0).scaleTuning.begin()));
  EXPECT_EQ(receive(g, makeDataSet(gsAddress(0x40, 0x1A, 0x00), {16, 19})),
            (Changes{{Param::Tone, 10}}));
  EXPECT_EQ((std::vector<int>{g.part(10).toneBank, g.part(10).toneProgram}),
            (std::vector<int>{16, 19}));
  // Level then pan then the reverb send: unknown addresses between are skipped.
  EXPECT_EQ(receive(g, makeDataSet(gsAddress(0x40, 0x14, 0x19), {90, 0x55, 0x55, 0x30})),
            (Changes{{Param::Level, 3}, {Param::Pan, 3}}));
  EXPECT_EQ(g.part(3).level, 90);
  EXPECT_EQ(g.part(3).pan, 0x30);
}

TEST(GsInterpreter, ValuesOutsideARangeAreClampedOrRefused) {
  const std::tuple<std::uint8_t, std::uint8_t, std::uint8_t PartState::*, int> cases[] = {
      {0x16, 0x7F, &PartState::keyShift, 0x58},    {0x16, 0x00, &PartState::keyShift, 0x28},
      {0x30, 0x00, &PartState::vibratoRate, 0x0E}, {0x31, 0x7F, &PartState::vibratoDepth, 0x72},
      {0x02, 0x11, &PartState::rxChannel, 0},      {0x15, 0x05, &PartState::rhythm, 0},
  };
  for (const auto& [a3, value, field, expected] : cases) {
    GsInterpreter g;
    receive(g, makeDataSet(gsAddress(0x40, 0x11, a3), {value}));
    EXPECT_EQ(g.part(0).*field, expected) << std::hex << int{a3};
  }
}

TEST(GsInterpreter, GsResetRestoresTheModuleDefaults) {
  GsInterpreter g;
  const GsInterpreter fresh;
  const std::vector<AddressCase> cases = addressCases();
  for (const AddressCase& c : cases) receive(g, makeDataSet(c.address, {c.value}));
  EXPECT_EQ(receive(g, gsResetMessage()), (Changes{{Param::Reset}}));
  for (const AddressCase& c : cases) EXPECT_EQ(c.get(g), c.get(fresh)) << std::hex << c.address;
  for (int p = 0; p < kParts; ++p)
    EXPECT_EQ(std::pair(int{g.part(p).rxChannel}, int{g.part(p).rhythm}),
              std::pair(p, p == 9 ? 1 : 0));
  const PartState& s = g.part(0);
  const std::vector<int> got{s.toneBank,
                             s.toneProgram,
                             s.keyShiftSemitones(),
                             s.level,
                             s.pan,
                             s.reverbSend,
                             s.chorusSend,
                             s.vibratoRate,
                             s.vibratoDepth,
                             s.vibratoDelay,
                             s.modPitchDepth,
                             s.modAmplitudeDepth,
                             s.scaleTuning[0],
                             s.scaleTuning[11],
                             g.system().reverbMacro,
                             g.system().reverbLevel,
                             g.system().reverbTime,
                             g.system().chorusMacro};
  EXPECT_EQ(got,
            (std::vector<int>{0, 0, 0, 100, 64, 40, 0, 64, 64, 64, 10, 0, 64, 64, 4, 64, 64, 2}));
}

}  // namespace
}  // namespace kalvant::synth

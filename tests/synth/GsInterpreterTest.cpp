// The GS interpreter against the address map: every parameter with good and
// bad checksums, messages that are not ours or are damaged, multi-byte
// writes and the GS reset's defaults.

#include <gtest/gtest.h>

#include <functional>

#include "synth/GsState.h"

namespace kalvant::synth {
namespace {

using Getter = std::function<int(const GsInterpreter&)>;

struct AddressCase {
  const char* name;
  std::uint32_t address;
  std::uint8_t value;
  Getter get;
  Param param;
  int part;  // -1 for the system block
};

Getter partField(int part, std::uint8_t PartState::*f) {
  return [part, f](const GsInterpreter& g) { return int{g.part(part).*f}; };
}
Getter systemField(std::uint8_t SystemState::*f) {
  return [f](const GsInterpreter& g) { return int{g.system().*f}; };
}

// Part 3 (block 3), part 10 (block 0) and part 12 (block B) cover the three
// kinds of block number.
std::vector<AddressCase> addressCases() {
  std::vector<AddressCase> cases;
  for (auto [part, x] : {std::pair{2, 0x3}, {9, 0x0}, {11, 0xB}}) {
    const auto a2 = static_cast<std::uint8_t>(0x10 | x);
    const auto c2 = static_cast<std::uint8_t>(0x20 | x);
    auto add = [&](const char* n, std::uint8_t b2, std::uint8_t a3, std::uint8_t v,
                   std::uint8_t PartState::*f, Param p) {
      cases.push_back({n, gsAddress(0x40, b2, a3), v, partField(part, f), p, part});
    };
    add("tone bank", a2, 0x00, 8, &PartState::toneBank, Param::Tone);
    add("tone program", a2, 0x01, 19, &PartState::toneProgram, Param::Tone);
    add("rx channel", a2, 0x02, 0x05, &PartState::rxChannel, Param::RxChannel);
    add("rx channel off", a2, 0x02, 0x10, &PartState::rxChannel, Param::RxChannel);
    add("rhythm", a2, 0x15, part == 9 ? 0 : 2, &PartState::rhythm, Param::Rhythm);
    add("key shift", a2, 0x16, 0x4C, &PartState::keyShift, Param::KeyShift);
    add("level", a2, 0x19, 77, &PartState::level, Param::Level);
    add("pan", a2, 0x1C, 0x20, &PartState::pan, Param::Pan);
    add("chorus send", a2, 0x21, 33, &PartState::chorusSend, Param::ChorusSend);
    add("reverb send", a2, 0x22, 99, &PartState::reverbSend, Param::ReverbSend);
    add("vibrato rate", a2, 0x30, 0x48, &PartState::vibratoRate, Param::Vibrato);
    add("vibrato depth", a2, 0x31, 0x0E, &PartState::vibratoDepth, Param::Vibrato);
    add("vibrato delay", a2, 0x37, 0x72, &PartState::vibratoDelay, Param::Vibrato);
    add("mod pitch depth", c2, 0x04, 4, &PartState::modPitchDepth, Param::ModDepth);
    add("mod amplitude depth", c2, 0x06, 28, &PartState::modAmplitudeDepth, Param::ModDepth);
    for (std::uint8_t k = 0; k < 12; ++k) {
      cases.push_back(
          {"scale tuning", gsAddress(0x40, a2, static_cast<std::uint8_t>(0x40 + k)),
           static_cast<std::uint8_t>(0x30 + k),
           [part, k](const GsInterpreter& g) { return int{g.part(part).scaleTuning[k]}; },
           Param::ScaleTuning, part});
    }
  }
  auto sys = [&](const char* n, std::uint8_t a3, std::uint8_t v, std::uint8_t SystemState::*f,
                 Param p) {
    cases.push_back({n, gsAddress(0x40, 0x01, a3), v, systemField(f), p, -1});
  };
  sys("reverb macro", 0x30, 3, &SystemState::reverbMacro, Param::Reverb);
  sys("reverb level", 0x33, 72, &SystemState::reverbLevel, Param::Reverb);
  sys("reverb time", 0x34, 84, &SystemState::reverbTime, Param::Reverb);
  sys("chorus macro", 0x38, 5, &SystemState::chorusMacro, Param::Chorus);
  sys("chorus level", 0x3A, 20, &SystemState::chorusLevel, Param::Chorus);
  return cases;
}

TEST(GsInterpreter, EveryAddressTakesAGoodDataSetAndRefusesABadChecksum) {
  for (const AddressCase& c : addressCases()) {
    SCOPED_TRACE(std::string(c.name) + " part " + std::to_string(c.part + 1));
    GsInterpreter good;
    const int before = c.get(good);
    ASSERT_NE(before, c.value) << "the case must change something";
    const Bytes m = makeDataSet(c.address, {c.value});
    EXPECT_EQ(good.receiveSysex(m.data(), m.size()), (std::vector<Change>{{c.param, c.part}}));
    EXPECT_EQ(c.get(good), c.value);
    EXPECT_EQ(good.counts().dataSets, 1);

    for (int delta : {1, 127}) {
      GsInterpreter bad;
      Bytes damaged = m;
      damaged[damaged.size() - 2] =
          static_cast<std::uint8_t>((damaged[damaged.size() - 2] + delta) & 0x7F);
      EXPECT_TRUE(bad.receiveSysex(damaged.data(), damaged.size()).empty());
      EXPECT_EQ(c.get(bad), before);
      EXPECT_EQ(bad.counts().malformed, 1);
    }
  }
}

TEST(GsInterpreter, ChecksumsOfTheModuleNotes) {
  const std::vector<std::pair<Bytes, Bytes>> examples{
      {makeDataSet(gsAddress(0x40, 0x11, 0x00), {0x00, 0x13}),
       {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x11, 0x00, 0x00, 0x13, 0x1C, 0xF7}},
      {makeDataSet(gsAddress(0x40, 0x12, 0x02), {0x01}),
       {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x12, 0x02, 0x01, 0x2B, 0xF7}},
      {makeDataSet(gsAddress(0x40, 0x01, 0x30), {0x03}),
       {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x30, 0x03, 0x0C, 0xF7}},
      {gsResetMessage(), {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}},
  };
  for (const auto& [made, expected] : examples) EXPECT_EQ(made, expected);
}

TEST(GsInterpreter, MessagesForOthersAreIgnoredAndDamagedOnesCounted) {
  const Bytes good = makeDataSet(gsAddress(0x40, 0x11, 0x19), {50});
  struct Case {
    const char* name;
    std::size_t at;  // the byte changed; past the end: the whole message replaced
    std::uint8_t value;
    bool malformed;
    Bytes whole;
  };
  const std::vector<Case> cases{
      {"device 11h", 2, 0x11, false, {}},
      {"device 7Fh", 2, 0x7F, false, {}},
      {"another maker", 1, 0x43, false, {}},
      {"display model", 3, 0x45, false, {}},
      {"data request RQ1", 4, 0x11, false, {}},
      {"universal", 99, 0, false, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
      {"8-bit data", 8, 0x80 | 50, true, {}},
      {"8-bit address", 6, 0x91, true, {}},
      {"no F7", good.size() - 1, 0x00, true, {}},
      {"no data", 99, 0, true, {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x11, 0x19, 0x16, 0xF7}},
      {"not sysex", 0, 0x90, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GsInterpreter g;
    Bytes m = c.whole.empty() ? good : c.whole;
    if (c.at < m.size()) m[c.at] = c.value;
    EXPECT_TRUE(g.receiveSysex(m.data(), m.size()).empty());
    EXPECT_EQ(g.part(0).level, 100);
    EXPECT_EQ(g.counts().malformed, c.malformed ? 1 : 0);
    EXPECT_EQ(g.counts().notForUs, c.malformed ? 0 : 1);
  }
  // Cut short anywhere, with the F7 a port hands over when bytes were lost.
  for (std::size_t length = 0; length + 1 < good.size(); ++length) {
    GsInterpreter g;
    Bytes cut(good.begin(), good.begin() + static_cast<long>(length));
    if (length > 0) cut.push_back(0xF7);
    EXPECT_TRUE(g.receiveSysex(cut.data(), cut.size()).empty()) << length;
    EXPECT_EQ(g.counts().dataSets, 0) << length;
  }
}

TEST(GsInterpreter, MultiByteWritesFillConsecutiveAddresses) {
  GsInterpreter g;
  // Quarter-comma meantone on part 1, as the module notes give it (checksum 5Ah).
  const Bytes meantone{0x4A, 0x32, 0x43, 0x55, 0x3D, 0x4E, 0x36, 0x47, 0x2F, 0x40, 0x51, 0x39};
  const Bytes m = makeDataSet(gsAddress(0x40, 0x11, 0x40), meantone);
  EXPECT_EQ(m[m.size() - 2], 0x5A);
  EXPECT_EQ(makeDataSet(gsAddress(0x40, 0x12, 0x40), meantone)[m.size() - 2], 0x59);
  EXPECT_EQ(g.receiveSysex(m.data(), m.size()), (std::vector<Change>{{Param::ScaleTuning, 0}}));
  EXPECT_TRUE(std::equal(meantone.begin(), meantone.end(), g.part(0).scaleTuning.begin()));

  const Bytes tone = makeDataSet(gsAddress(0x40, 0x1A, 0x00), {16, 19});  // part 11
  EXPECT_EQ(g.receiveSysex(tone.data(), tone.size()), (std::vector<Change>{{Param::Tone, 10}}));
  EXPECT_EQ(g.part(10).toneBank, 16);
  EXPECT_EQ(g.part(10).toneProgram, 19);

  // Level then pan then the reverb send: unknown addresses between are skipped.
  const Bytes run = makeDataSet(gsAddress(0x40, 0x14, 0x19), {90, 0x55, 0x55, 0x30});
  EXPECT_EQ(g.receiveSysex(run.data(), run.size()),
            (std::vector<Change>{{Param::Level, 3}, {Param::Pan, 3}}));
  EXPECT_EQ(g.part(3).level, 90);
  EXPECT_EQ(g.part(3).pan, 0x30);
}

TEST(GsInterpreter, ValuesOutsideARangeAreClampedOrRefused) {
  struct Case {
    std::uint8_t a3;
    std::uint8_t value;
    std::uint8_t PartState::*field;
    int expected;
  };
  const std::vector<Case> cases{
      {0x16, 0x7F, &PartState::keyShift, 0x58},    {0x16, 0x00, &PartState::keyShift, 0x28},
      {0x30, 0x00, &PartState::vibratoRate, 0x0E}, {0x31, 0x7F, &PartState::vibratoDepth, 0x72},
      {0x02, 0x11, &PartState::rxChannel, 0},      {0x15, 0x05, &PartState::rhythm, 0},
  };
  for (const Case& c : cases) {
    GsInterpreter g;
    const Bytes m = makeDataSet(gsAddress(0x40, 0x11, c.a3), {c.value});
    g.receiveSysex(m.data(), m.size());
    EXPECT_EQ(g.part(0).*c.field, c.expected) << std::hex << int{c.a3};
  }
}

TEST(GsInterpreter, GsResetRestoresTheModuleDefaults) {
  GsInterpreter g;
  for (const AddressCase& c : addressCases()) {
    const Bytes m = makeDataSet(c.address, {c.value});
    g.receiveSysex(m.data(), m.size());
  }
  const Bytes reset = gsResetMessage();
  EXPECT_EQ(g.receiveSysex(reset.data(), reset.size()), (std::vector<Change>{{Param::Reset}}));
  for (int p = 0; p < kParts; ++p) {
    const PartState& s = g.part(p);
    const std::vector<int> got{s.rxChannel,
                               s.rhythm,
                               s.toneBank,
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
                               s.scaleTuning[11]};
    const std::vector<int> defaults{p, p == 9 ? 1 : 0, 0,    0,    0,    100, 0x40, 40,
                                    0, 0x40,           0x40, 0x40, 0x0A, 0,   0x40, 0x40};
    EXPECT_EQ(got, defaults) << "part " << p + 1;
  }
  EXPECT_EQ(g.system().reverbMacro, 4);
  EXPECT_EQ(g.system().reverbLevel, 64);
  EXPECT_EQ(g.system().reverbTime, 64);
  EXPECT_EQ(g.system().chorusMacro, 2);
}

TEST(GsInterpreter, PartBlocksMapToParts) {
  const int expected[16] = {9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15};
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(partOfBlock(x), expected[x]) << x;
    EXPECT_EQ(blockOfPart(expected[x]), x);
  }
}

TEST(GsInterpreter, UnknownAddressesAreCountedAndHarmless) {
  GsInterpreter g;
  for (std::uint32_t a : {gsAddress(0x40, 0x11, 0x7A), gsAddress(0x41, 0x11, 0x19),
                          gsAddress(0x40, 0x31, 0x19), gsAddress(0x40, 0x00, 0x7F)}) {
    const Bytes m = makeDataSet(a, {0x01});  // a "reset" with data 01 is no reset
    EXPECT_TRUE(g.receiveSysex(m.data(), m.size()).empty());
  }
  EXPECT_EQ(g.counts().unknownAddress, 4);
  EXPECT_EQ(g.counts().dataSets, 0);
}

}  // namespace
}  // namespace kalvant::synth

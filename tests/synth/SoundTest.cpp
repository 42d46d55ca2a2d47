// The module heard through FluidSynth, offline: layered ranks, temperaments,
// Rx channel off, notes released across a key shift change, and reverbs.

#include <algorithm>

#include "SoundSupport.h"

namespace kalvant::synth::test {
namespace {

// Reed Organ: TimGM6mb's Church Organ carries its own sub-octave, which would
// hide whether a 4' rank speaks an octave up.
constexpr std::uint8_t kReedOrgan = 20;
constexpr std::uint8_t kRxOffByte = 0x10;

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!soundfontPresent()) GTEST_SKIP() << kDefaultSoundfont << " is not installed";
    fresh();
  }
  // A module just switched on: no reverb tail of an earlier case.
  void fresh() {
    owner = std::make_unique<OfflineSynth>();
    ASSERT_TRUE(owner->loaded());
    synth().send(gsResetMessage());
    for (int part : {0, 3}) {
      synth().send(partParam(part, 0x00, {0, kReedOrgan}));
      synth().send(partParam(part, 0x22, {0}));  // dry: the spectrum is the pipes'
    }
  }
  // Part 4 as a 4' rank on the Great's channel, beside or instead of part 1.
  void fourFoot(bool withEightFoot) {
    synth().send(partParam(3, 0x16, {0x4C}));
    synth().send(partParam(3, 0x02, {0x00}));
    if (!withEightFoot) synth().send(partParam(0, 0x02, {kRxOffByte}));
  }
  std::vector<float> hold(int key, double seconds) {
    synth().send({0x90, static_cast<std::uint8_t>(key), 100});
    synth().render(0.3);  // past the attack
    return synth().render(seconds);
  }
  OfflineSynth& synth() { return *owner; }
  std::unique_ptr<OfflineSynth> owner;
};

TEST_F(SoundTest, EightAndFourFootRanksSoundTheirOctaves) {
  const double f0 = 220.0;  // A3
  struct Case {
    bool eightFoot;
    bool expectF0;
  };
  for (const Case c : {Case{true, true}, Case{false, false}}) {
    SCOPED_TRACE(c.eightFoot ? "8' + 4'" : "4' alone");
    fresh();
    fourFoot(c.eightFoot);
    const std::vector<float> x = hold(57, 1.0);
    const double atF0 = magnitudeAt(x, f0);
    const double atOctave = magnitudeAt(x, 2 * f0);
    EXPECT_GT(atOctave, 1e-4);
    if (c.expectF0) {
      EXPECT_GT(atF0, 0.1 * atOctave);
    } else {
      EXPECT_LT(atF0, 0.01 * atOctave);
    }
  }
}

TEST_F(SoundTest, MeantoneMovesCSharpAndKeepsA) {
  const Bytes equal(12, 0x40);
  const Bytes meantone{0x4A, 0x32, 0x43, 0x55, 0x3D, 0x4E, 0x36, 0x47, 0x2F, 0x40, 0x51, 0x39};
  struct Case {
    int key;
    double hz;
    double expectedCents;
  };
  for (const Case c : {Case{73, 554.365, -14.0}, Case{69, 440.0, 0.0}}) {
    SCOPED_TRACE(c.key);
    fresh();
    synth().send(partParam(0, 0x40, equal));
    const std::vector<float> before = hold(c.key, 1.5);
    // Retuned while it sounds, as when the organist picks a temperament.
    synth().send(partParam(0, 0x40, meantone));
    synth().render(0.1);
    const std::vector<float> after = synth().render(1.5);
    const double fEqual = peakFrequency(before, c.hz, 8);
    const double fMeantone = peakFrequency(after, fEqual, 8);
    EXPECT_NEAR(cents(fEqual, c.hz), 0.0, 5.0) << "the soundfont's own tuning";
    EXPECT_NEAR(cents(fMeantone, fEqual), c.expectedCents, 0.5);
  }
}

TEST_F(SoundTest, RxChannelOffSilencesThePart) {
  for (std::uint8_t rx : {std::uint8_t{0x00}, kRxOffByte}) {
    SCOPED_TRACE(int{rx});
    fresh();
    synth().send(partParam(0, 0x02, {rx}));
    const std::vector<float> x = hold(60, 0.5);
    const double level = rms(x, 0, x.size());
    if (rx == kRxOffByte) {
      EXPECT_LT(level, 1e-6);
    } else {
      EXPECT_GT(level, 1e-3);
    }
  }
}

TEST_F(SoundTest, ANoteReleasedAfterItsKeyShiftChangedFallsSilent) {
  synth().send(partParam(0, 0x21, {0}));
  synth().send(partParam(0, 0x16, {0x4C}));
  hold(60, 0.5);
  synth().send(partParam(0, 0x16, {0x40}));  // a stop change while the key is held
  synth().send({0x80, 60, 0});
  const std::vector<float> x = synth().render(3.0);
  const double sounding = rms(x, 0, 2205);
  EXPECT_GT(sounding, 1e-3) << "the note sounded until released";
  EXPECT_LT(rms(x, x.size() - 22050, x.size()), 1e-3 * sounding);
}

// How long the reverberation takes to fall 20 dB, counted from half a second
// after the release, when the pipe itself has fallen silent.
double decayTime(OfflineSynth& synth) {
  synth.send({0x90, 60, 110});
  synth.render(0.5);
  synth.send({0x80, 60, 0});
  const std::vector<float> x = synth.render(10.0);
  const std::size_t window = 2205;  // 50 ms
  const auto start = static_cast<std::size_t>(0.5 * kRate);
  const double reference = rms(x, start, start + window);
  std::size_t last = start;
  for (std::size_t i = start; i + window <= x.size(); i += window) {
    if (rms(x, i, i + window) > reference * 0.1) last = i;
  }
  return static_cast<double>(last - start) / kRate;
}

TEST_F(SoundTest, ChurchCathedralAndChapelDecayDifferently) {
  // The default organ's reverb entries 7, 8 and 9: macro, level, time.
  struct Reverb {
    const char* name;
    std::uint8_t macro, level, time;
  };
  const Reverb reverbs[] = {
      {"Chapel", 2, 60, 52}, {"Church", 3, 72, 84}, {"Cathedral", 4, 92, 116}};
  std::vector<double> times;
  for (const Reverb& r : reverbs) {
    fresh();
    synth().send(partParam(0, 0x22, {127}));
    synth().send(makeDataSet(gsAddress(0x40, 0x01, 0x30), {r.macro}));
    synth().send(makeDataSet(gsAddress(0x40, 0x01, 0x33), {r.level}));
    synth().send(makeDataSet(gsAddress(0x40, 0x01, 0x34), {r.time}));
    synth().render(0.2);
    times.push_back(decayTime(synth()));
    std::printf("[          ] %s: falls 20 dB in %.2f s\n", r.name, times.back());
  }
  // Each space rings clearly longer than the smaller one.
  EXPECT_GT(times[1], 1.3 * times[0]);
  EXPECT_GT(times[2], 1.3 * times[1]);
}

}  // namespace
}  // namespace kalvant::synth::test

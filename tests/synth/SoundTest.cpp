// The module heard through FluidSynth, offline: a temperament retunes a
// sounding note, and the three reverbs ring for different times. Which part
// plays which key is the router's, tested without sound.

#include <algorithm>

#include "SoundSupport.h"

namespace kalvant::synth::test {
namespace {

// Reed Organ: TimGM6mb's Church Organ carries its own sub-octave, which would
// blur the peak the pitch is read from.
constexpr std::uint8_t kReedOrgan = 20;

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
    synth().send(partParam(0, 0x00, {0, kReedOrgan}));
    synth().send(partParam(0, 0x22, {0}));  // dry: the spectrum is the pipes'
  }
  std::vector<float> hold(int key, double seconds) {
    synth().send({0x90, static_cast<std::uint8_t>(key), 100});
    synth().render(0.3);  // past the attack
    return synth().render(seconds);
  }
  OfflineSynth& synth() { return *owner; }
  std::unique_ptr<OfflineSynth> owner;
};

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

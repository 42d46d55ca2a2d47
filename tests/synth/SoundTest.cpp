// The module heard through FluidSynth, offline.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

#include "synth/FluidTarget.h"
#include "synth/GsModule.h"

namespace kalvant::synth {
namespace {

constexpr double kRate = 44100.0;

Bytes partParam(int part, std::uint8_t offset, const Bytes& data) {
  return makeDataSet(gsAddress(0x40, static_cast<std::uint8_t>(0x10 | blockOfPart(part)), offset),
                     data);
}

double magnitudeAt(const std::vector<float>& x, double hz) {
  double re = 0, im = 0;
  const double n = static_cast<double>(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double w = (0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n)) * x[i];
    re += w * std::cos(2 * std::numbers::pi * hz * i / kRate);
    im -= w * std::sin(2 * std::numbers::pi * hz * i / kRate);
  }
  return std::hypot(re, im);
}

// The strongest frequency within `span` Hz of `guess`.
double peakFrequency(const std::vector<float>& x, double guess, double span) {
  for (double step : {0.25, 0.01}) {
    double best = guess, bestMag = -1;
    for (double f = guess - span; f <= guess + span; f += step) {
      if (const double m = magnitudeAt(x, f); m > bestMag) bestMag = m, best = f;
    }
    guess = best, span = 0.25;
  }
  return guess;
}

double rms(const std::vector<float>& x, std::size_t from, std::size_t to) {
  double sum = 0;
  for (std::size_t i = from; i < to && i < x.size(); ++i) sum += double{x[i]} * x[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}

// Part 1 a dry Reed Organ: the Church Organ's own sub-octave would blur the peak.
struct SoundTest : ::testing::Test {
  void SetUp() override {
    if (!std::filesystem::exists(kDefaultSoundfont)) GTEST_SKIP() << "no soundfont";
  }
  void fresh() {
    FluidTarget::Options o;
    o.sampleRate = kRate;
    target = std::make_unique<FluidTarget>(o);
    module = std::make_unique<GsModule>(*target);
    std::string error;
    ASSERT_TRUE(target->loadSoundfont(kDefaultSoundfont, error)) << error;
    module->applyAll();
    for (const Bytes& m : {gsResetMessage(), partParam(0, 0x00, {0, 20}), partParam(0, 0x22, {0})})
      module->receive(m);
  }
  std::vector<float> render(double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    std::vector<float> left(frames), right(frames);
    for (std::size_t done = 0; done < frames; done += 64)
      target->render(left.data() + done, right.data() + done,
                     static_cast<int>(std::min<std::size_t>(64, frames - done)));
    for (std::size_t i = 0; i < frames; ++i) left[i] += right[i];
    return left;
  }
  std::unique_ptr<FluidTarget> target;
  std::unique_ptr<GsModule> module;
};

TEST_F(SoundTest, MeantoneMovesCSharpAndKeepsA) {
  const Bytes meantone{0x4A, 0x32, 0x43, 0x55, 0x3D, 0x4E, 0x36, 0x47, 0x2F, 0x40, 0x51, 0x39};
  for (const auto& [key, hz, shift] : {std::tuple{73, 554.365, -14.0}, {69, 440.0, 0.0}}) {
    fresh();
    module->receive({0x90, static_cast<std::uint8_t>(key), 100});
    render(0.3);  // past the attack
    const double fEqual = peakFrequency(render(1.5), hz, 8);
    module->receive(partParam(0, 0x40, meantone));  // retuned while it sounds
    render(0.1);
    const double fMeantone = peakFrequency(render(1.5), fEqual, 8);
    EXPECT_NEAR(1200 * std::log2(fEqual / hz), 0.0, 5.0) << "the soundfont's own tuning";
    EXPECT_NEAR(1200 * std::log2(fMeantone / fEqual), shift, 0.5) << key;
  }
}

// The default organ's reverb entries 7, 8 and 9: the time to fall 20 dB grows.
TEST_F(SoundTest, ChapelChurchAndCathedralRingEachLonger) {
  std::vector<double> times;
  for (const auto& [macro, level, time] : {std::tuple{2, 60, 52}, {3, 72, 84}, {4, 92, 116}}) {
    fresh();
    module->receive(partParam(0, 0x22, {127}));
    for (const auto& [a3, v] : {std::pair{0x30, macro}, {0x33, level}, {0x34, time}})
      module->receive(makeDataSet(gsAddress(0x40, 0x01, static_cast<std::uint8_t>(a3)),
                                  {static_cast<std::uint8_t>(v)}));
    for (const auto& [m, seconds] : {std::pair<Bytes, double>{{}, 0.2}, {{0x90, 60, 110}, 0.5}})
      module->receive(m), render(seconds);
    module->receive({0x80, 60, 0});
    const std::vector<float> x = render(10.0);
    const std::size_t window = 2205, start = 22050;
    const double reference = rms(x, start, start + window);
    std::size_t last = start;
    for (std::size_t i = start; i + window <= x.size(); i += window)
      if (rms(x, i, i + window) > reference * 0.1) last = i;
    times.push_back(static_cast<double>(last - start) / kRate);
  }
  EXPECT_GT(times[1], 1.3 * times[0]);
  EXPECT_GT(times[2], 1.3 * times[1]);
}

}  // namespace
}  // namespace kalvant::synth

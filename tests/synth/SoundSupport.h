#pragma once
// Offline rendering and a little spectrum analysis for the sound tests.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

#include "synth/FluidTarget.h"
#include "synth/GsModule.h"

namespace kalvant::synth::test {

inline constexpr double kRate = 44100.0;

inline bool soundfontPresent() {
  return std::filesystem::exists(kDefaultSoundfont);
}

// The module on FluidSynth with the default soundfont, rendered on demand.
class OfflineSynth {
 public:
  OfflineSynth() : target_(options()), module_(target_) {
    std::string error;
    loaded_ = target_.loadSoundfont(kDefaultSoundfont, error);
    module_.applyAll();
  }
  bool loaded() const { return loaded_; }
  GsModule& module() { return module_; }
  void send(const Bytes& m) { module_.receive(m); }

  // The next `seconds` of sound, left and right summed.
  std::vector<float> render(double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    std::vector<float> left(frames), right(frames), mono(frames);
    for (std::size_t done = 0; done < frames; done += 64) {
      const int n = static_cast<int>(std::min<std::size_t>(64, frames - done));
      target_.render(left.data() + done, right.data() + done, n);
    }
    for (std::size_t i = 0; i < frames; ++i) mono[i] = left[i] + right[i];
    return mono;
  }

 private:
  static FluidTarget::Options options() {
    FluidTarget::Options o;
    o.sampleRate = kRate;
    return o;
  }
  FluidTarget target_;
  GsModule module_;
  bool loaded_ = false;
};

// Magnitude of the Hann-windowed spectrum at one frequency.
inline double magnitudeAt(const std::vector<float>& x, double hz) {
  double re = 0, im = 0;
  const double n = static_cast<double>(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
    const double phase = 2 * std::numbers::pi * hz * i / kRate;
    re += w * x[i] * std::cos(phase);
    im -= w * x[i] * std::sin(phase);
  }
  return std::hypot(re, im) / n;
}

// The strongest frequency within `span` Hz of `guess`, to a hundredth of a
// hertz: a coarse scan, then a golden-section search around its best point.
inline double peakFrequency(const std::vector<float>& x, double guess, double span) {
  const double step = 0.25;
  double best = guess;
  double bestMag = -1;
  for (double f = guess - span; f <= guess + span; f += step) {
    const double m = magnitudeAt(x, f);
    if (m > bestMag) {
      bestMag = m;
      best = f;
    }
  }
  double a = best - step, b = best + step;
  const double g = (std::sqrt(5.0) - 1) / 2;
  while (b - a > 0.002) {
    const double c = b - g * (b - a), d = a + g * (b - a);
    if (magnitudeAt(x, c) > magnitudeAt(x, d)) {
      b = d;
    } else {
      a = c;
    }
  }
  return (a + b) / 2;
}

inline double cents(double f, double reference) {
  return 1200.0 * std::log2(f / reference);
}

inline double rms(const std::vector<float>& x, std::size_t from, std::size_t to) {
  double sum = 0;
  for (std::size_t i = from; i < to && i < x.size(); ++i) sum += double{x[i]} * x[i];
  return std::sqrt(sum / static_cast<double>(std::max<std::size_t>(1, to - from)));
}

inline Bytes partParam(int part, std::uint8_t offset, const Bytes& data) {
  const auto block = static_cast<std::uint8_t>(0x10 | blockOfPart(part));
  return makeDataSet(gsAddress(0x40, block, offset), data);
}

}  // namespace kalvant::synth::test

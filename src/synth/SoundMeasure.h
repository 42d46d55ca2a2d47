#pragma once
// Figures of rendered sound: levels, stereo image and pitch. The renderer
// prints them, the sound tests check them and bench/sound_figures tabulates
// them for each soundfont.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kalvant::synth {

// Rendered stereo audio, one vector per channel.
struct Stereo {
  std::vector<float> left, right;
  std::size_t frames() const { return left.size(); }
  void append(const float* l, const float* r, std::size_t n);
  // Frames [from, to) of both channels.
  Stereo slice(std::size_t from, std::size_t to) const;
  std::vector<float> mono() const;  // (L + R) / 2
};

// Accumulates the figures block by block, so a long render needs no buffer.
class LevelMeter {
 public:
  void add(const float* left, const float* right, std::size_t frames);
  void add(const Stereo& s) { add(s.left.data(), s.right.data(), s.frames()); }

  double peak() const { return peak_; }
  double peakDb() const;
  // Samples (of either channel) beyond full scale: clipped in a 16-bit file.
  std::uint64_t clipped() const { return clipped_; }
  // Root mean square over both channels, in dBFS.
  double rmsDb() const;
  // Pearson correlation of left and right, -1..1 (0 for silence).
  double correlation() const;
  // What summing to mono, (L + R) / 2 on both speakers, loses against the
  // stereo signal's energy: 0 dB for identical channels, 3 dB for
  // uncorrelated ones, growing without bound as they cancel.
  double monoLossDb() const;

 private:
  double peak_ = 0;
  std::uint64_t clipped_ = 0, frames_ = 0;
  double ll_ = 0, rr_ = 0, lr_ = 0, l_ = 0, r_ = 0;
};

double toDb(double ratio);  // 20 log10, floored at -200 dB

// The lowest partial of a sustained sound that is no more than `rangeDb`
// below the strongest one, in Hz (0 for silence). Looks at partials above
// `lowestHz` in a Hann-windowed spectrum of `samples`, refined between bins.
double lowestStrongPartial(const std::vector<float>& samples, double sampleRate, double rangeDb,
                           double lowestHz = 12.0);

// Cents from `reference` to `hz`.
double centsBetween(double hz, double reference);

}  // namespace kalvant::synth

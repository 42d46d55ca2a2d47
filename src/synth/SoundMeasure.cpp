#include "synth/SoundMeasure.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace kalvant::synth {

namespace {

using Complex = std::complex<double>;

// In-place radix-2 FFT; the size is a power of two.
void fft(std::vector<Complex>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const Complex step = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
    for (std::size_t i = 0; i < n; i += len) {
      Complex w = 1;
      for (std::size_t k = 0; k < len / 2; ++k, w *= step) {
        const Complex u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

// Magnitudes of the Hann-windowed spectrum, zero-padded to a power of two
// at least four times the input, so peaks fall between fine bins.
std::vector<double> spectrum(const std::vector<float>& x, std::size_t& size) {
  size = 1;
  while (size < 4 * x.size()) size <<= 1;
  std::vector<Complex> a(size);
  const double n = static_cast<double>(x.size());
  for (std::size_t i = 0; i < x.size(); ++i)
    a[i] = x[i] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / n));
  fft(a);
  std::vector<double> m(size / 2);
  for (std::size_t i = 0; i < m.size(); ++i) m[i] = std::abs(a[i]);
  return m;
}

// The peak between bins by a parabola through the log magnitudes.
double refinedBin(const std::vector<double>& m, std::size_t i) {
  if (i == 0 || i + 1 >= m.size()) return static_cast<double>(i);
  const double a = std::log(m[i - 1] + 1e-30), b = std::log(m[i] + 1e-30),
               c = std::log(m[i + 1] + 1e-30);
  const double d = a - 2 * b + c;
  return static_cast<double>(i) + (d < 0 ? 0.5 * (a - c) / d : 0.0);
}

}  // namespace

void Stereo::append(const float* l, const float* r, std::size_t n) {
  left.insert(left.end(), l, l + n);
  right.insert(right.end(), r, r + n);
}

Stereo Stereo::slice(std::size_t from, std::size_t to) const {
  to = std::min(to, frames());
  from = std::min(from, to);
  using D = std::ptrdiff_t;
  return {{left.begin() + static_cast<D>(from), left.begin() + static_cast<D>(to)},
          {right.begin() + static_cast<D>(from), right.begin() + static_cast<D>(to)}};
}

std::vector<float> Stereo::mono() const {
  std::vector<float> m(frames());
  for (std::size_t i = 0; i < m.size(); ++i) m[i] = 0.5f * (left[i] + right[i]);
  return m;
}

void LevelMeter::add(const float* left, const float* right, std::size_t frames) {
  for (std::size_t i = 0; i < frames; ++i) {
    const double l = left[i], r = right[i];
    peak_ = std::max({peak_, std::fabs(l), std::fabs(r)});
    clipped_ += (std::fabs(l) > 1.0) + (std::fabs(r) > 1.0);
    ll_ += l * l, rr_ += r * r, lr_ += l * r, l_ += l, r_ += r;
  }
  frames_ += frames;
}

double toDb(double ratio) {
  return ratio > 1e-10 ? 20 * std::log10(ratio) : -200.0;
}

double LevelMeter::peakDb() const {
  return toDb(peak_);
}

double LevelMeter::rmsDb() const {
  if (frames_ == 0) return -200.0;
  return toDb(std::sqrt((ll_ + rr_) / (2.0 * static_cast<double>(frames_))));
}

double LevelMeter::correlation() const {
  if (frames_ == 0) return 0;
  const double n = static_cast<double>(frames_);
  const double cov = lr_ - l_ * r_ / n, vl = ll_ - l_ * l_ / n, vr = rr_ - r_ * r_ / n;
  return vl > 0 && vr > 0 ? cov / std::sqrt(vl * vr) : 0.0;
}

double LevelMeter::monoLossDb() const {
  const double stereo = ll_ + rr_;
  // Both speakers play (L + R) / 2: 2 * ((L + R) / 2)^2 per frame.
  const double mono = 0.5 * (ll_ + rr_ + 2 * lr_);
  if (stereo <= 0) return 0;
  return mono > stereo * 1e-20 ? 10 * std::log10(stereo / mono) : 200.0;
}

double lowestStrongPartial(const std::vector<float>& samples, double sampleRate, double rangeDb,
                           double lowestHz) {
  if (samples.size() < 16) return 0;
  std::size_t size = 0;
  const std::vector<double> m = spectrum(samples, size);
  const double hzPerBin = sampleRate / static_cast<double>(size);
  const auto first = static_cast<std::size_t>(std::max(1.0, std::ceil(lowestHz / hzPerBin)));
  if (first + 1 >= m.size()) return 0;
  const double strongest =
      *std::max_element(m.begin() + static_cast<std::ptrdiff_t>(first), m.end());
  if (strongest <= 0) return 0;
  const double floor = strongest * std::pow(10.0, -rangeDb / 20.0);
  // The first local maximum above the floor, climbed to its top.
  for (std::size_t i = first; i + 1 < m.size(); ++i) {
    if (m[i] < floor || m[i] < m[i - 1] || m[i] < m[i + 1]) continue;
    return refinedBin(m, i) * hzPerBin;
  }
  return 0;
}

double centsBetween(double hz, double reference) {
  return 1200.0 * std::log2(hz / reference);
}

}  // namespace kalvant::synth

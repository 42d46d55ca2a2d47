#include "synth/GsSoundMap.h"

#include <algorithm>
#include <cmath>

namespace kalvant::synth {

namespace {

struct Space {
  double roomMin;  // room size at time 0
  double roomMax;  // room size at time 127
  double damping;
  double width;
};

// Rooms are small and absorbent, halls large and bright enough to carry;
// the delays are rendered as bright, sparse spaces.
constexpr std::array<Space, 8> kSpaces{{
    {0.20, 0.50, 0.60, 0.5},  // Room 1
    {0.30, 0.60, 0.50, 0.6},  // Room 2
    {0.35, 0.70, 0.45, 0.7},  // Room 3
    {0.50, 0.90, 0.30, 0.9},  // Hall 1
    {0.55, 0.99, 0.25, 1.0},  // Hall 2
    {0.45, 0.85, 0.10, 0.8},  // Plate
    {0.30, 0.70, 0.20, 0.5},  // Delay
    {0.30, 0.70, 0.20, 1.0},  // Panning Delay
}};

constexpr std::array<ChorusParams, 8> kChoruses{{
    {3, 1.0, 0.30, 3.0},   // Chorus 1
    {3, 1.0, 0.40, 5.0},   // Chorus 2
    {3, 1.2, 0.50, 8.0},   // Chorus 3
    {4, 1.2, 0.60, 12.0},  // Chorus 4
    {5, 1.5, 0.30, 10.0},  // Feedback
    {2, 1.5, 0.20, 2.0},   // Flanger
    {1, 1.0, 0.10, 1.0},   // Short Delay
    {2, 1.5, 0.10, 1.5},   // Short Delay (feedback)
}};

// A tremulant beats about five and a half times a second; the SoundFont's
// LFOs default to 8.176 Hz, so the part's rate is counted from there.
const double kTremulantBaseCents = 1200.0 * std::log2(5.5 / 8.176);

double unit(int v) {
  return std::clamp(v, 0, 127) / 127.0;
}

}  // namespace

ReverbParams reverbFor(const SystemState& s) {
  const Space& sp = kSpaces[std::min<std::size_t>(s.reverbMacro, kSpaces.size() - 1)];
  return {sp.roomMin + (sp.roomMax - sp.roomMin) * unit(s.reverbTime), sp.damping, sp.width,
          unit(s.reverbLevel)};
}

ChorusParams chorusFor(const SystemState& s) {
  ChorusParams c = kChoruses[std::min<std::size_t>(s.chorusMacro, kChoruses.size() - 1)];
  c.level *= unit(s.chorusLevel) * 2.0;
  return c;
}

Modulation modulationFor(const PartState& p, int modWheel) {
  const double wheel = unit(modWheel);
  Modulation m;
  // GS pitch depth: 127 = 600 cents of vibrato with the wheel fully on. A
  // positive vibrato depth adds up to 50 cents of the part's own vibrato; a
  // negative one asks for steadier pipes, which a tone without vibrato
  // already is.
  m.vibratoCents = wheel * unit(p.modPitchDepth) * 600.0 + std::max(0, p.vibratoDepth - kCentre);
  // Rate -50..+50: a third of an octave per 16 steps, so ±50 is about ×/÷ 2.
  m.lfoRateCents = kTremulantBaseCents + (p.vibratoRate - kCentre) * 24.0;
  m.vibratoDelayTimecents = (p.vibratoDelay - kCentre) * 48.0;
  // GS amplitude depth: 127 = 20 dB of tremolo with the wheel fully on.
  m.tremoloCentibels = wheel * unit(p.modAmplitudeDepth) * 200.0;
  return m;
}

std::array<double, 12> scaleTuningCents(const PartState& p) {
  std::array<double, 12> cents{};
  for (std::size_t i = 0; i < cents.size(); ++i) cents[i] = p.scaleTuning[i] - kCentre;
  return cents;
}

}  // namespace kalvant::synth

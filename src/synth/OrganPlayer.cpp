#include "synth/OrganPlayer.h"

#include <algorithm>
#include <cmath>
#include <regex>

#include "midi/MidiBytes.h"
#include "synth/FluidTarget.h"
#include "synth/GsModule.h"

namespace kalvant::synth {

namespace {

constexpr int kBlock = 64;
constexpr std::uint8_t kModulation = 1;
constexpr std::uint8_t kExpression = 11;

// The console's reset, in its order: GS reset, set-up 1, identification,
// set-ups 2..6; the reverb and temperament follow in set().
constexpr int kResetEntries[] = {entry::kModuleReset, 1, entry::kIdentification, 2, 3, 4, 5, 6};

// The division a coupler doubles a note into, or -1: manual coupler 1 Great
// to Swell, 2 Swell to Great; pedal coupler 1 Pedal to Great, 2 to Swell.
int coupledChannel(int channel, const Registration& r) {
  if (channel == 0 && r.ManualCoupler == 1) return 1;
  if (channel == 1 && r.ManualCoupler == 2) return 0;
  if (channel == 2 && r.PedalCoupler == 1) return 0;
  if (channel == 2 && r.PedalCoupler == 2) return 1;
  return -1;
}

}  // namespace

OrganPlayer::OrganPlayer(FluidTarget& target, GsModule& module, const StopsTable& table)
    : target_(target), module_(module), table_(table) {}

void OrganPlayer::sendEntry(int index) {
  const std::string& e = table_[static_cast<std::size_t>(index)];
  for (std::string_view m : midi::splitAtF7(e))
    module_.receive(reinterpret_cast<const std::uint8_t*>(m.data()), m.size());
}

void OrganPlayer::reset() {
  target_.restart();
  for (int e : kResetEntries) sendEntry(e);
}

void OrganPlayer::set(const OrganSetting& s) {
  const Registration r = playable(s.registration);
  for (int stop : {r.GreatStop, r.SwellStop, r.PedalStop}) sendEntry(stop);
  sendEntry(entry::kReverbChurch + std::clamp(s.reverb, 0, 2));
  const int t = std::clamp(s.temperament, 0, 3);
  for (int division = 0; division < 3; ++division)
    sendEntry(entry::kFirstTemperament + 3 * t + division);
  const int volumes[] = {r.GreatVolume, r.SwellVolume};
  const bool tremulants[] = {r.GreatTremolo == 1, r.SwellTremolo == 1};
  for (std::uint8_t ch = 0; ch < 2; ++ch) {
    const auto cc = static_cast<std::uint8_t>(0xB0 | ch);
    module_.receive({cc, kExpression, static_cast<std::uint8_t>(volumes[ch])});
    module_.receive(
        {cc, kModulation, static_cast<std::uint8_t>(tremulants[ch] ? s.tremoloValue & 0x7F : 0)});
  }
  couplers_ = r;
}

void OrganPlayer::play(const std::vector<std::uint8_t>& m) {
  module_.receive(m);
  const bool note = m.size() >= 3 && (m[0] & 0xE0) == 0x80;
  const int to = note ? coupledChannel(m[0] & 0x0F, couplers_) : -1;
  if (to < 0) return;
  std::vector<std::uint8_t> copy = m;
  copy[0] = static_cast<std::uint8_t>((m[0] & 0xF0) | to);
  module_.receive(copy);
}

Stereo OrganPlayer::render(double seconds) {
  // Whole blocks: FluidSynth starts notes on its own 64-frame grid, so a
  // note played after a render always starts on a block's first frame and
  // the same performance renders the same samples.
  Stereo out;
  const auto blocks =
      static_cast<std::size_t>(std::llround(std::max(0.0, seconds) * kRenderRate / kBlock));
  out.left.resize(blocks * kBlock);
  out.right.resize(blocks * kBlock);
  for (std::size_t done = 0; done < out.frames(); done += kBlock)
    target_.render(out.left.data() + done, out.right.data() + done, kBlock);
  return out;
}

Stereo OrganPlayer::perform(const std::vector<TimedMessage>& notes, double seconds) {
  Stereo out;
  auto until = [&](double t) {
    const Stereo part = render(t - static_cast<double>(out.frames()) / kRenderRate);
    out.append(part.left.data(), part.right.data(), part.frames());
  };
  for (const TimedMessage& n : notes) {
    if (n.seconds > seconds) break;
    until(n.seconds);
    play(n.message);
  }
  until(seconds);
  return out;
}

OrganSetting soloStop(int stop) {
  OrganSetting s;
  Registration& r = s.registration;
  std::int16_t* stops[] = {&r.GreatStop, &r.SwellStop, &r.PedalStop};
  *stops[divisionOfStop(stop)->channel] = static_cast<std::int16_t>(stop);
  return s;
}

std::vector<TimedMessage> demoChords(double chordSeconds, int chords) {
  // C, F, G7, C: the manuals a hand each, the pedal the root.
  static const int kGreat[4][4] = {
      {60, 64, 67, 72}, {60, 65, 69, 72}, {59, 62, 65, 67}, {60, 64, 67, 72}};
  static const int kSwell[4][3] = {{52, 55, 60}, {53, 57, 60}, {50, 55, 59}, {48, 52, 55}};
  static const int kPedal[4] = {36, 41, 43, 36};
  std::vector<TimedMessage> notes;
  auto both = [&](double on, double off, int channel, int key) {
    const auto k = static_cast<std::uint8_t>(key);
    notes.push_back({on, {static_cast<std::uint8_t>(0x90 | channel), k, 100}});
    notes.push_back({off, {static_cast<std::uint8_t>(0x80 | channel), k, 0}});
  };
  for (int c = 0; c < chords; ++c) {
    const int i = c % 4;
    // A short gap before the next chord, as a player lifts the hands.
    const double on = c * chordSeconds, off = on + chordSeconds * 0.95;
    for (int k : kGreat[i]) both(on, off, 0, k);
    for (int k : kSwell[i]) both(on, off, 1, k);
    both(on, off, 2, kPedal[i]);
  }
  std::stable_sort(notes.begin(), notes.end(), [](const TimedMessage& a, const TimedMessage& b) {
    return a.seconds < b.seconds;
  });
  return notes;
}

std::vector<TimedMessage> onDivision(std::vector<TimedMessage> notes, int division) {
  std::erase_if(notes, [&](const TimedMessage& n) { return (n.message.at(0) & 0x0F) != division; });
  return notes;
}

std::vector<TimedMessage> heldKey(int division, int key, double releaseSeconds) {
  const auto ch = static_cast<std::uint8_t>(division);
  const auto k = static_cast<std::uint8_t>(key);
  return {{0.0, {static_cast<std::uint8_t>(0x90 | ch), k, 100}},
          {releaseSeconds, {static_cast<std::uint8_t>(0x80 | ch), k, 0}}};
}

std::vector<double> footagesInName(const std::string& name) {
  static const std::regex kFootage(R"((\d+)(?: (\d+)/(\d+))?')");
  std::vector<double> feet;
  for (auto it = std::sregex_iterator(name.begin(), name.end(), kFootage);
       it != std::sregex_iterator(); ++it) {
    double f = std::stod((*it)[1]);
    if ((*it)[2].matched) f += std::stod((*it)[2]) / std::stod((*it)[3]);
    feet.push_back(f);
  }
  std::sort(feet.rbegin(), feet.rend());
  return feet;
}

}  // namespace kalvant::synth

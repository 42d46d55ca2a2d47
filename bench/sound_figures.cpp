// The default organ's sound, measured through the built-in synthesizer for
// each soundfont given: the full organ's peak, clipping, loudness, stereo
// image and real-time factor; the quietest stop; the reverb's mono loss and
// how much the direct sound leads in a note's first 100 ms; the pitch of
// each organ tone; and every stop's lowest strong partial against the
// footage its name gives. Prints figures; asserts nothing.
//   sound_figures KALVANT.DAT SOUNDFONT...

#include <fluidsynth.h>

#include <cmath>
#include <cstdio>
#include <ctime>

#include "stops/DatFile.h"
#include "synth/BuiltInSynth.h"
#include "synth/FluidTarget.h"
#include "synth/GsModule.h"
#include "synth/OrganPlayer.h"

namespace {

using namespace kalvant;
using namespace kalvant::synth;

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct Organ {
  Organ(const StopsTable& table, const std::string& soundfont)
      : engine(kRenderRate, soundfont, error, false),
        player(*engine.target, *engine.module, table) {}
  void effects(bool on) {
    fluid_synth_reverb_on(engine.target->synth(), -1, on);
    fluid_synth_chorus_on(engine.target->synth(), -1, on);
  }
  Stereo play(const OrganSetting& s, const std::vector<TimedMessage>& notes, double seconds,
              bool withEffects = true) {
    player.reset();
    player.set(s);
    effects(withEffects);
    return player.perform(notes, seconds);
  }
  std::string error;
  SynthEngine engine;
  OrganPlayer player;
};

void printLevels(const char* what, const Stereo& s) {
  LevelMeter m;
  m.add(s);
  std::printf(
      "  %-22s peak %6.2f dBFS, clipped %6llu, RMS %6.1f dB, corr %5.2f, mono loss %5.1f dB\n",
      what, m.peakDb(), static_cast<unsigned long long>(m.clipped()), m.rmsDb(), m.correlation(),
      m.monoLossDb());
}

void levels(Organ& organ, const StopsTable& table) {
  OrganSetting s;
  s.registration = kFullOrgan;
  const double start = cpuSeconds();
  const Stereo full = organ.play(s, demoChords(), 8.0);
  const double cpu = cpuSeconds() - start;
  printLevels("full organ, couplers", full);
  std::printf("  %-22s %.3f (%.2f s CPU for 8 s)\n", "real-time factor", cpu / 8.0, cpu);
  // Each stop alone playing its division's part of the chords.
  std::printf("  each stop alone, RMS dB:");
  double lowest = 1e9;
  int which = 0;
  for (int stop = entry::kFirstGreatStop; stop <= entry::kLastStop; ++stop) {
    if (table[stop].size() <= kUndefinedStopMaxLength) continue;
    LevelMeter m;
    m.add(organ.play(soloStop(stop), onDivision(demoChords(), divisionOfStop(stop)->channel), 6.0));
    std::printf(" %d:%.0f", stop, m.rmsDb());
    if (m.rmsDb() < lowest) lowest = m.rmsDb(), which = stop;
  }
  std::printf("\n  quietest stop alone: %s (%d), RMS %.1f dB\n",
              table[which + entry::kStopNameOffset].c_str(), which, lowest);
}

void reverb(const StopsTable& table, const std::string& soundfont) {
  const char* names[] = {"Church", "Cathedral", "Chapel", "Room 1", "Room 2",   "Room 3",
                         "Hall 1", "Hall 2",    "Plate",  "Delay",  "Pan Delay"};
  for (int type : {2, 0, 1, 3, 4, 5, 6, 7, 8, 9, 10}) {
    OrganSetting s;
    s.reverb = std::min(type, 2);
    // The GS macros themselves at level and time 64.
    const auto macro = type < 3 ? std::vector<TimedMessage>{}
                                : std::vector<TimedMessage>{
                                      {0, makeDataSet(gsAddress(0x40, 0x01, 0x30),
                                                      {static_cast<std::uint8_t>(type - 3)})},
                                      {0, makeDataSet(gsAddress(0x40, 0x01, 0x33), {64})},
                                      {0, makeDataSet(gsAddress(0x40, 0x01, 0x34), {64})}};
    std::vector<TimedMessage> notes = macro;
    for (const TimedMessage& n : heldKey(0, 60, 1.0)) notes.push_back(n);
    Organ organ(table, soundfont);
    const Stereo w = organ.play(s, notes, 5.0);
    const Stereo d = organ.play(s, notes, 5.0, false);
    const std::size_t first = kRenderRate / 10;
    Stereo effect = w.slice(0, first);
    for (std::size_t i = 0; i < first; ++i)
      effect.left[i] -= d.left[i], effect.right[i] -= d.right[i];
    LevelMeter all, direct, wet;
    all.add(w), direct.add(d.slice(0, first)), wet.add(effect);
    // From the release: how long until 50 ms windows fall 20 dB.
    const std::size_t window = kRenderRate / 20, release = kRenderRate;
    auto rmsAt = [&](std::size_t from) {
      LevelMeter m;
      m.add(w.slice(from, from + window));
      return m.rmsDb();
    };
    std::size_t fall = release;
    while (fall + window < w.frames() && rmsAt(fall) > rmsAt(release) - 20) fall += window;
    std::printf(
        "  reverb %-9s Principal 8': mono loss %4.1f dB (corr %5.2f); first 100 ms "
        "direct %5.1f dB, effects %5.1f dB; falls 20 dB %4.2f s after release\n",
        names[type], all.monoLossDb(), all.correlation(), direct.rmsDb(), wet.rmsDb(),
        static_cast<double>(fall - release) / kRenderRate);
  }
}

// Each organ tone on one part at key 60: how far from written pitch its
// lowest strong partial lies.
void tones(Organ& organ) {
  const int tones[][2] = {{0, 19}, {8, 19}, {16, 19}, {24, 19}, {0, 20}, {0, 56}, {0, 57},
                          {0, 68}, {0, 69}, {0, 70},  {0, 71},  {0, 72}, {0, 73}, {0, 74},
                          {0, 52}, {0, 48}, {0, 49},  {0, 43},  {0, 16}};
  std::printf("  tones at key 60, cents off written pitch:");
  for (const auto& [bank, program] : tones) {
    organ.player.reset();
    organ.effects(false);
    const auto b = static_cast<std::uint8_t>(bank), p = static_cast<std::uint8_t>(program);
    organ.engine.module->receive(makeDataSet(gsAddress(0x40, 0x11, 0x00), {b, p}));
    organ.engine.module->receive(makeDataSet(gsAddress(0x40, 0x11, 0x02), {0}));
    organ.engine.module->receive({0x90, 60, 100});
    const Stereo out = organ.player.render(1.2).slice(kRenderRate / 2, kRenderRate * 12 / 10);
    const double hz = lowestStrongPartial(out.mono(), kRenderRate, 20.0, 60.0);
    std::printf(" %d/%d %+.0f", bank, program, centsBetween(hz, 261.63));
  }
  std::printf("\n");
}

void footage(Organ& organ, const StopsTable& table) {
  int failed = 0, checked = 0;
  std::string failures;
  for (int stop = entry::kFirstGreatStop; stop <= entry::kLastStop; ++stop) {
    const std::string& name = table[stop + entry::kStopNameOffset];
    const std::vector<double> feet = footagesInName(name);
    if (table[stop].size() <= kUndefinedStopMaxLength || feet.empty()) continue;
    const int key = testKey(divisionOfStop(stop)->channel);
    const Stereo out =
        organ.play(soloStop(stop), heldKey(divisionOfStop(stop)->channel, key, 2.0), 1.2, false);
    const double expected = 440.0 * std::pow(2.0, (key - 69) / 12.0) * 8.0 / feet.front();
    const double hz = lowestStrongPartial(out.slice(kRenderRate / 2, kRenderRate * 12 / 10).mono(),
                                          kRenderRate, 20.0, expected * 0.35);
    const double cents = centsBetween(hz, expected);
    const bool ok = std::abs(cents) <= 50;
    ++checked;
    if (!ok) ++failed, failures += " " + std::to_string(stop);
    std::printf("    %3d %-16s want %7.2f Hz, lowest strong %7.2f Hz, %+6.0f cents %s\n", stop,
                name.c_str(), expected, hz, cents, ok ? "" : "FAIL");
  }
  std::printf("  footage: %d of %d stops fail:%s\n", failed, checked, failures.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: sound_figures KALVANT.DAT SOUNDFONT...\n");
    return 2;
  }
  const DatReadResult dat = readDatFile(argv[1]);
  if (!dat.ok) {
    std::fprintf(stderr, "%s\n", dat.error.c_str());
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    std::printf("%s\n", argv[i]);
    Organ organ(dat.data, argv[i]);
    if (!organ.error.empty()) {
      std::printf("  %s\n", organ.error.c_str());
      continue;
    }
    levels(organ, dat.data);
    reverb(dat.data, argv[i]);
    tones(organ);
    footage(organ, dat.data);
    std::fflush(stdout);
  }
  return 0;
}

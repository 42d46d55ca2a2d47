// The default organ heard through the built-in synthesizer and the default
// soundfont: every stop at the pitch its name gives, the full organ without
// clipping, quiet stops still audible, a reverb that survives mono. Also the
// measuring instruments themselves, on signals whose answers are known.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <random>
#include <utility>

#include "registration/MemoryFileFormat.h"
#include "stops/DatFile.h"
#include "synth/BuiltInSynth.h"
#include "synth/FluidTarget.h"
#include "synth/GsModule.h"
#include "synth/OrganPlayer.h"

#include <fluidsynth.h>

namespace kalvant::synth {
namespace {

const std::string kProgramDir = KALVANT_PROGRAM_DIR;

std::vector<float> partials(const std::vector<std::pair<double, double>>& hzAndDb) {
  std::vector<float> x(16384);
  for (std::size_t i = 0; i < x.size(); ++i)
    for (const auto& [hz, db] : hzAndDb)
      x[i] += static_cast<float>(std::pow(10.0, db / 20) *
                                 std::sin(2 * std::numbers::pi * hz * i / kRenderRate));
  return x;
}

TEST(SoundMeasure, LowestStrongPartialIgnoresOnlyWhatLiesBelowTheRange) {
  // Partials (Hz, dB), the range in dB, the answer.
  const std::tuple<std::vector<std::pair<double, double>>, double, double> rows[] = {
      {{{261.63, 0}}, 20, 261.63},
      {{{130.81, -13}, {261.63, 0}, {523.25, -6}}, 20, 130.81},  // a sub-octave counts
      {{{130.81, -30}, {261.63, 0}, {523.25, -6}}, 20, 261.63},  // a faint one does not
      {{{32.70, -3}, {65.41, 0}}, 20, 32.70},
      {{{440, -10}, {880, 0}, {1320, -3}}, 6, 880},
  };
  for (const auto& [signal, range, hz] : rows) {
    EXPECT_NEAR(centsBetween(lowestStrongPartial(partials(signal), kRenderRate, range), hz), 0, 5)
        << hz;
  }
}

TEST(SoundMeasure, MonoLossAndCorrelationOfKnownPairs) {
  std::mt19937 random(7);
  std::normal_distribution<float> noise(0, 0.1f);
  std::vector<float> a(44100), b(44100), minusA(44100), loud(44100);
  for (std::size_t i = 0; i < a.size(); ++i)
    a[i] = noise(random), b[i] = noise(random), minusA[i] = -a[i], loud[i] = 12 * a[i];
  // Right channel, mono loss, correlation, clipped samples (|x| > 1 at 1.2
  // sigma: 40.5 %).
  const std::tuple<const std::vector<float>*, double, double, int> rows[] = {
      {&a, 0, 1, 0}, {&b, 3, 0, 0}, {&minusA, 200, -1, 0}, {&loud, 2.35, 1, 17860}};
  for (const auto& [right, loss, correlation, clipped] : rows) {
    LevelMeter m;
    m.add(a.data(), right->data(), a.size());
    EXPECT_NEAR(m.monoLossDb(), loss, loss > 100 ? 100 : 0.3) << loss;
    EXPECT_NEAR(m.correlation(), correlation, 0.03) << loss;
    EXPECT_NEAR(static_cast<double>(m.clipped()), clipped, clipped * 0.2) << loss;
  }
}

TEST(SoundMeasure, FootagesInStopNames) {
  const std::pair<const char*, std::vector<double>> rows[] = {
      {"Principal 8'", {8}},
      {"Prin 8' 4' 2'", {8, 4, 2}},
      {"Nasard 2 2/3'", {8.0 / 3}},
      {"Flutes 16' 8'", {16, 8}},
      {"Cornet", {}},
  };
  for (const auto& [name, feet] : rows) EXPECT_EQ(footagesInName(name), feet) << name;
}

// The default organ on the default soundfont; each render starts from the
// console's reset. Loading the soundfont takes most of the time, so renders
// without effects share one synthesizer; FluidSynth's reset does not silence
// a reverb still ringing, so renders with effects get a fresh one.
struct OrganSound : ::testing::Test {
  static void SetUpTestSuite() {
    if (!std::filesystem::exists(kDefaultSoundfont)) return;
    std::string error;
    shared = new SynthEngine(kRenderRate, kDefaultSoundfont, error, false);
  }
  static void TearDownTestSuite() { delete std::exchange(shared, nullptr); }
  void SetUp() override {
    if (!shared) GTEST_SKIP() << "no soundfont";
    const DatReadResult dat = readDatFile(kProgramDir + "/kalvant.dat");
    ASSERT_TRUE(dat.ok) << dat.error;
    table = dat.data;
  }
  Stereo play(const OrganSetting& s, const std::vector<TimedMessage>& notes, double seconds,
              bool effects = false, bool freshEngine = false) {
    std::unique_ptr<SynthEngine> fresh;
    std::string error;
    if (effects || freshEngine)
      fresh = std::make_unique<SynthEngine>(kRenderRate, kDefaultSoundfont, error, false);
    SynthEngine& engine = fresh ? *fresh : *shared;
    OrganPlayer player(*engine.target, *engine.module, table);
    player.reset();
    player.set(s);
    fluid_synth_reverb_on(engine.target->synth(), -1, effects);
    fluid_synth_chorus_on(engine.target->synth(), -1, effects);
    return player.perform(notes, seconds);
  }
  static double rmsDb(const Stereo& s) {
    LevelMeter m;
    m.add(s);
    return m.rmsDb();
  }
  static inline SynthEngine* shared = nullptr;
  StopsTable table;
};

// A key on one division sounds the coupled division's first part too, and
// only that one.
TEST_F(OrganSound, CouplersDoubleNotesIntoTheirDivision) {
  // Manual coupler, pedal coupler, the division played, the divisions sounding.
  const std::tuple<int, int, int, std::array<bool, 3>> rows[] = {
      {0, 0, 0, {true, false, false}}, {1, 0, 0, {true, true, false}},
      {1, 0, 1, {false, true, false}}, {2, 0, 1, {true, true, false}},
      {0, 1, 2, {true, false, true}},  {0, 2, 2, {false, true, true}},
      {2, 2, 0, {true, false, false}},
  };
  for (const auto& [manual, pedal, division, sounding] : rows) {
    OrganPlayer player(*shared->target, *shared->module, table);
    player.reset();
    OrganSetting s;
    s.registration.ManualCoupler = static_cast<std::int16_t>(manual);
    s.registration.PedalCoupler = static_cast<std::int16_t>(pedal);
    player.set(s);
    player.play(heldKey(division, 48, 1).front().message);
    // The first stops play on each division's first part: parts 1, 2, 3.
    const std::array<bool, 3> heard{shared->module->soundingNotes(0) > 0,
                                    shared->module->soundingNotes(1) > 0,
                                    shared->module->soundingNotes(2) > 0};
    EXPECT_EQ(heard, sounding) << manual << " " << pedal << " " << division;
  }
}

// Each defined stop alone, key 60 (36 on the Pedal): its lowest strong
// partial (within 20 dB of the strongest) lies within a quarter tone of the
// largest footage its name gives.
TEST_F(OrganSound, EveryStopSoundsAtTheFootageItsNameGives) {
  int checked = 0;
  for (int stop = entry::kFirstGreatStop; stop <= entry::kLastStop; ++stop) {
    const std::string& name = table[stop + entry::kStopNameOffset];
    const std::vector<double> feet = footagesInName(name);
    if (table[stop].size() <= kUndefinedStopMaxLength || feet.empty()) continue;
    const int division = divisionOfStop(stop)->channel, key = testKey(division);
    const Stereo out = play(soloStop(stop), heldKey(division, key, 2), 1.2);
    const double want = 440.0 * std::pow(2.0, (key - 69) / 12.0) * 8.0 / feet.front();
    const double hz = lowestStrongPartial(out.slice(kRenderRate / 2, out.frames()).mono(),
                                          kRenderRate, 20, want * 0.35);
    EXPECT_NEAR(centsBetween(hz, want), 0, 50) << stop << " " << name << ": " << hz << " Hz";
    ++checked;
  }
  EXPECT_GE(checked, 25);
}

// Chords on all three divisions through the couplers, both volumes full.
TEST_F(OrganSound, FullOrganPeaksAtMostMinusOneDbfs) {
  const MemoryFileReadResult fixed = readMemoryFile(kProgramDir + "/fixed.fix");
  ASSERT_TRUE(fixed.ok) << fixed.error;
  Registration swellToGreat = kFullOrgan;
  swellToGreat.ManualCoupler = swellToGreat.PedalCoupler = 2;
  // Registration, reverb (0 Church, 1 Cathedral, 2 Chapel).
  const std::pair<Registration, int> rows[] = {
      {kFullOrgan, 0}, {swellToGreat, 1}, {fixed.data.records.at(11), 2}};
  for (const auto& [registration, reverb] : rows) {
    LevelMeter m;
    m.add(play({registration, 0, reverb}, demoChords(1.0, 3), 3.5, true));
    EXPECT_LE(m.peakDb(), -1.0) << registration.GreatStop << "/" << registration.SwellStop;
    EXPECT_EQ(m.clipped(), 0u);
  }
}

// Every stop alone on a chord of its division stays within 20 dB of the full
// organ playing the same chords (direct sound).
TEST_F(OrganSound, EveryStopAloneWithinTwentyDbOfTheFullOrgan) {
  const std::vector<TimedMessage> chord = demoChords(1.0, 1);
  const double full = rmsDb(play({kFullOrgan}, chord, 1.0));
  for (int stop = entry::kFirstGreatStop; stop <= entry::kLastStop; ++stop) {
    if (table[stop].size() <= kUndefinedStopMaxLength) continue;
    const double alone =
        rmsDb(play(soloStop(stop), onDivision(chord, divisionOfStop(stop)->channel), 1.0));
    EXPECT_GE(alone, full - 20) << stop << " " << table[stop + entry::kStopNameOffset];
  }
}

// A reverberant Principal 8' summed to mono loses at most 3 dB, and the
// direct sound leads the effects by 10 dB in its first 100 ms.
TEST_F(OrganSound, ReverbSurvivesMonoAndLetsTheDirectSoundLead) {
  for (int reverb : {0, 1, 2}) {
    const OrganSetting s{soloStop(entry::kFirstGreatStop).registration, 0, reverb};
    const Stereo wet = play(s, heldKey(0, 60, 1.0), 3.0, true);
    const Stereo dry = play(s, heldKey(0, 60, 1.0), 0.1, false, true);  // sample for sample
    LevelMeter whole;
    whole.add(wet);
    EXPECT_LE(whole.monoLossDb(), 3.0) << reverb;
    Stereo effects = wet.slice(0, dry.frames());
    for (std::size_t i = 0; i < dry.frames(); ++i)
      effects.left[i] -= dry.left[i], effects.right[i] -= dry.right[i];
    EXPECT_GE(rmsDb(dry) - rmsDb(effects), 10.0) << reverb;
  }
}

}  // namespace
}  // namespace kalvant::synth

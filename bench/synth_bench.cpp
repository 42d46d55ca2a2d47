// The built-in synthesizer's cost: the real-time factor of the full organ
// (three divisions in four-note chords, layered ranks, couplers, tremulants)
// rendered on one core, and the time from a note reaching the module to the
// first rendered block that sounds it. Prints figures; asserts nothing.

#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "synth/BuiltInSynth.h"
#include "synth/FluidTarget.h"
#include "synth/GsModule.h"

namespace {

using namespace kalvant::synth;

constexpr int kRate = 44100;
constexpr int kBlock = 64;

struct Rank {
  int part;  // 0-based
  int channel;
  std::uint8_t bank, program, keyShift, level;
};

// Great: Tutti; Swell: Full Swell; Pedal: Pedal Tutti, as in the default organ.
const Rank kFullOrgan[] = {
    {0, 0, 0, 19, 0x34, 84},  {3, 0, 16, 19, 0x40, 104}, {4, 0, 8, 19, 0x58, 80},
    {5, 0, 0, 56, 0x40, 100}, {1, 1, 8, 19, 0x40, 96},   {6, 1, 0, 19, 0x4C, 86},
    {7, 1, 8, 19, 0x58, 76},  {8, 1, 0, 68, 0x40, 90},   {2, 2, 0, 19, 0x34, 100},
    {10, 2, 0, 57, 0x34, 96}, {11, 2, 16, 19, 0x40, 90},
};

Bytes partParam(int part, std::uint8_t offset, const Bytes& data) {
  return makeDataSet(gsAddress(0x40, static_cast<std::uint8_t>(0x10 | blockOfPart(part)), offset),
                     data);
}

void setUpOrgan(GsModule& m) {
  m.receive(gsResetMessage());
  for (int part : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11}) m.receive(partParam(part, 0x02, {0x10}));
  for (const Rank& r : kFullOrgan) {
    m.receive(partParam(r.part, 0x00, {r.bank, r.program}));
    m.receive(partParam(r.part, 0x16, {r.keyShift}));
    m.receive(partParam(r.part, 0x19, {r.level}));
    m.receive(partParam(r.part, 0x22, {72}));
    m.receive(makeDataSet(
        gsAddress(0x40, static_cast<std::uint8_t>(0x20 | blockOfPart(r.part)), 0x04), {4}));
    m.receive(partParam(r.part, 0x02, {static_cast<std::uint8_t>(r.channel)}));
  }
  m.receive(makeDataSet(gsAddress(0x40, 0x01, 0x30), {4}));  // Cathedral
  m.receive(makeDataSet(gsAddress(0x40, 0x01, 0x33), {92}));
  m.receive(makeDataSet(gsAddress(0x40, 0x01, 0x34), {116}));
  for (int ch : {0, 1}) m.receive({static_cast<std::uint8_t>(0xB0 | ch), 1, 100});  // tremulants
}

// One chord on each division, with the couplers' copies the console sends:
// Swell to Great, Pedal to Great, Pedal to Swell.
void chord(GsModule& m, int root, bool on) {
  const int shape[4] = {0, 4, 7, 12};
  auto send = [&](int ch, int key) {
    m.receive({static_cast<std::uint8_t>((on ? 0x90 : 0x80) | ch), static_cast<std::uint8_t>(key),
               static_cast<std::uint8_t>(on ? 100 : 0)});
  };
  for (int i : shape) {
    send(0, root + i);
    send(1, root + 5 + i);
    send(0, root + 5 + i);
    send(2, root - 24 + i);
    send(0, root - 24 + i);
    send(1, root - 24 + i);
  }
}

double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

void realTimeFactor(SynthEngine& e) {
  setUpOrgan(*e.module);
  std::vector<float> l(kBlock), r(kBlock);
  const int seconds = 20;
  int maxVoices = 0;
  const double start = threadSeconds();
  for (int s = 0; s < seconds; ++s) {
    const int root = 60 + (s % 5);
    chord(*e.module, root, true);
    for (int b = 0; b < kRate / kBlock; ++b) {
      e.target->render(l.data(), r.data(), kBlock);
      maxVoices = std::max(maxVoices, fluid_synth_get_active_voice_count(e.target->synth()));
    }
    chord(*e.module, root, false);
  }
  const double cpu = threadSeconds() - start;
  std::printf("full organ, %d s of audio: %.3f s CPU, real-time factor %.4f, up to %d voices\n",
              seconds, cpu, cpu / seconds, maxVoices);
}

bool sounds(const std::vector<float>& l, const std::vector<float>& r) {
  for (std::size_t i = 0; i < l.size(); ++i)
    if (l[i] != 0 || r[i] != 0) return true;
  return false;
}

void noteLatency(SynthEngine& e) {
  setUpOrgan(*e.module);
  std::vector<float> l(kBlock), r(kBlock);
  std::vector<double> micros;
  int blocksNeeded = 0;
  for (int trial = 0; trial < 200; ++trial) {
    e.module->receive(gsResetMessage());  // silence, and no reverb input left
    e.module->receive(partParam(0, 0x22, {0}));
    e.module->receive(partParam(0, 0x21, {0}));
    for (int b = 0; b < 400 && (e.target->render(l.data(), r.data(), kBlock), sounds(l, r)); ++b) {
    }
    const auto t0 = std::chrono::steady_clock::now();
    e.module->receive({0x90, 60, 100});
    int blocks = 0;
    do {
      e.target->render(l.data(), r.data(), kBlock);
      ++blocks;
    } while (!sounds(l, r) && blocks < 100);
    micros.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    blocksNeeded = std::max(blocksNeeded, blocks);
  }
  std::sort(micros.begin(), micros.end());
  int period = 0, periods = 0;
  fluid_settings_getint(e.target->settings(), "audio.period-size", &period);
  fluid_settings_getint(e.target->settings(), "audio.periods", &periods);
  std::printf(
      "note to first sounding block (%d frames): median %.1f us, p99 %.1f us, "
      "at most %d block(s)\n",
      kBlock, micros[micros.size() / 2], micros[micros.size() * 99 / 100], blocksNeeded);
  std::printf("plus the audio driver's buffer: %d periods of %d frames = %.1f ms at %d Hz\n",
              periods, period, 1000.0 * period * periods / kRate, kRate);
}

}  // namespace

int main() {
  std::string error;
  SynthEngine engine(kRate, kDefaultSoundfont, error);
  if (!error.empty()) {
    std::fprintf(stderr, "synth_bench: %s\n", error.c_str());
    return 1;
  }
  realTimeFactor(engine);
  noteLatency(engine);
  return 0;
}

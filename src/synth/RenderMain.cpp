// kalvant-render: plays a Standard MIDI File through the built-in GS module
// offline and writes a WAV file, so a stops table can be heard without a
// sound card.
//   kalvant-render --play in.mid --render out.wav [--soundfont F.sf2]
//                  [--dat kalvant.dat] [--tail SECONDS] [--max-seconds SECONDS]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "midi/MidiBytes.h"
#include "stops/DatFile.h"
#include "synth/BuiltInSynth.h"
#include "synth/FluidTarget.h"
#include "synth/GsModule.h"
#include "synth/RenderOptions.h"
#include "synth/SmfReader.h"
#include "synth/WavWriter.h"

namespace {

using namespace kalvant;
using namespace kalvant::synth;

constexpr int kRate = 44100;
constexpr int kBlock = 64;

const char* const kUsage =
    "usage: kalvant-render --play IN.mid --render OUT.wav [--soundfont FILE.sf2]\n"
    "                      [--dat kalvant.dat] [--tail SECONDS] [--max-seconds SECONDS]\n"
    "With --dat the module first receives the console's reset: GS reset, set-up 1,\n"
    "identification, set-ups 2..6, reverb 7 (Church) and the Equal temperament.\n"
    "--tail (0..3600, default 3) adds silence after the last event; the WAV is cut\n"
    "at --max-seconds (default 3600).\n";

// What the console sends at RESET, in its order, with Equal temperament.
const std::vector<int> kResetEntries{100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103};

void sendEntry(GsModule& module, const std::string& entry) {
  for (std::string_view m : midi::splitAtF7(entry))
    module.receive(reinterpret_cast<const std::uint8_t*>(m.data()), m.size());
}

// Renders the module block by block straight into the WAV file.
class Renderer {
 public:
  Renderer(FluidTarget& target, WavWriter& wav) : target_(target), wav_(wav) {}
  bool until(std::uint64_t frame) {
    float left[kBlock], right[kBlock];
    while (wav_.frames() < frame) {
      const auto n = static_cast<int>(std::min<std::uint64_t>(kBlock, frame - wav_.frames()));
      target_.render(left, right, n);
      if (!wav_.write(left, right, static_cast<std::size_t>(n))) return false;
    }
    return true;
  }

 private:
  FluidTarget& target_;
  WavWriter& wav_;
};

int fail(const std::string& why) {
  std::fprintf(stderr, "kalvant-render: %s\n", why.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const RenderArgs args = parseRenderArgs({argv + 1, argv + argc});
  if (!args.ok) {
    std::fprintf(stderr, "kalvant-render: %s\n%s", args.error.c_str(), kUsage);
    return 2;
  }
  const RenderOptions& o = args.options;
  const SmfReadResult midi = readSmfFile(o.play);
  if (!midi.ok) return fail(midi.error);
  const double fileEnd = midi.data.empty() ? 0 : midi.data.back().seconds;
  const RenderLength length = renderLength(fileEnd, o, kRate);
  if (length.frames > kMaxWavFrames) {
    char why[160];
    std::snprintf(why, sizeof why, "%.0f s of audio do not fit a WAV file (at most %.0f s)",
                  length.seconds, std::floor(static_cast<double>(kMaxWavFrames) / kRate));
    return fail(why);
  }
  WavWriter wav;
  if (!wav.open(o.render, kRate)) return fail(wav.error());
  std::string error;
  SynthEngine engine(kRate, o.soundfont.empty() ? kDefaultSoundfont : o.soundfont, error);
  if (!error.empty()) return fail(error);
  if (!o.dat.empty()) {
    const DatReadResult dat = readDatFile(o.dat);
    if (!dat.ok) return fail(dat.error);
    for (int e : kResetEntries) sendEntry(*engine.module, dat.data[static_cast<std::size_t>(e)]);
  }
  Renderer renderer(*engine.target, wav);
  for (const TimedMessage& m : midi.data) {
    if (m.seconds > length.seconds) break;
    const auto frame = static_cast<std::uint64_t>(std::llround(m.seconds * kRate));
    if (!renderer.until(std::min(frame, length.frames))) return fail(wav.error());
    engine.module->receive(m.message);
  }
  if (!renderer.until(length.frames) || !wav.finish()) return fail(wav.error());
  if (length.cut)
    std::fprintf(stderr, "kalvant-render: warning: %s was cut at %g s (--max-seconds)\n",
                 o.play.c_str(), length.seconds);
  const SysexCounts& c = engine.module->interpreter().counts();
  std::printf("%s: %.2f s, peak %.3f; data sets %d, ignored %d, malformed %d, unknown %d\n",
              o.render.c_str(), static_cast<double>(wav.frames()) / kRate, wav.peak(), c.dataSets,
              c.notForUs, c.malformed, c.unknownAddress);
  return 0;
}

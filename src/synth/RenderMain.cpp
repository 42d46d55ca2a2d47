// kalvant-render: plays a Standard MIDI File, or a demo chord sequence,
// through the built-in GS module offline and writes a WAV file, so a stops
// table and a registration can be heard without a sound card.
//   kalvant-render --render out.wav [--play in.mid] [--soundfont F.sf2]
//                  [--dat kalvant.dat] [--stops great=N,swell=N,pedal=N]
//                  [--memory FILE.sqs:N | --fixed N] [--temperament NAME]
//                  [--reverb NAME] [--tail SECONDS] [--max-seconds SECONDS]

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/DataFolder.h"
#include "registration/MemoryFileFormat.h"
#include "stops/DatFile.h"
#include "synth/BuiltInSynth.h"
#include "synth/FluidTarget.h"
#include "synth/GsModule.h"
#include "synth/OrganPlayer.h"
#include "synth/RenderOptions.h"
#include "synth/SmfReader.h"
#include "synth/WavWriter.h"

namespace {

using namespace kalvant;
using namespace kalvant::synth;

constexpr int kRate = kRenderRate;
constexpr int kBlock = 64;

const char* const kUsage =
    "usage: kalvant-render --render OUT.wav [--play IN.mid] [--soundfont FILE.sf2]\n"
    "         [--dat kalvant.dat] [--stops great=N,swell=N,pedal=N]\n"
    "         [--memory FILE.sqs:N | --fixed N] [--temperament equal|meantone|silbermann|\n"
    "         kirnberger] [--reverb church|cathedral|chapel] [--tail SECONDS]\n"
    "         [--max-seconds SECONDS]\n"
    "Without --play it plays a demo: four chords on the Great, the Swell and the Pedal.\n"
    "The organ (the stops table --dat, by default the kalvant.dat installed with this\n"
    "program) first receives the console's reset, then the registration: a memory (--fixed\n"
    "takes fixed.fix beside the stops table), stops replacing the memory's, the\n"
    "temperament and the reverb. Notes on channels 1..3 play the Great, Swell and\n"
    "Pedal, through the memory's couplers. A MIDI file alone, without --dat or any\n"
    "registration, goes to the module as it is.\n"
    "--tail (0..3600, default 3) adds silence after the last event; the WAV is cut\n"
    "at --max-seconds (default 3600).\n";

// Renders the module block by block straight into the WAV file.
class Renderer {
 public:
  Renderer(FluidTarget& target, WavWriter& wav) : target_(target), wav_(wav) {}
  bool until(std::uint64_t frame) {
    float left[kBlock], right[kBlock];
    while (wav_.frames() < frame) {
      const auto n = static_cast<int>(std::min<std::uint64_t>(kBlock, frame - wav_.frames()));
      target_.render(left, right, n);
      meter.add(left, right, static_cast<std::size_t>(n));
      if (!wav_.write(left, right, static_cast<std::size_t>(n))) return false;
    }
    return true;
  }
  LevelMeter meter;

 private:
  FluidTarget& target_;
  WavWriter& wav_;
};

int fail(const std::string& why) {
  std::fprintf(stderr, "kalvant-render: %s\n", why.c_str());
  return 1;
}

// The default organ: beside this program in a build tree, in
// <prefix>/share/kalvant when installed.
std::string defaultOrgan() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "kalvant.dat";
  return app::resourceFolder(self.parent_path().string()) + "/kalvant.dat";
}

// The registration the options ask for; false with the reason when a memory
// cannot be read.
bool chooseSetting(const RenderOptions& o, const std::string& dat, OrganSetting& s,
                   std::string& error) {
  if (o.memory > 0) {
    const std::string file = o.fixedMemory
                                 ? (std::filesystem::path(dat).parent_path() / "fixed.fix").string()
                                 : o.memoryFile;
    const MemoryFileReadResult m = readMemoryFile(file);
    if (!m.ok) {
      error = m.error;
      return false;
    }
    if (static_cast<std::size_t>(o.memory) > m.data.records.size()) {
      error = file + " holds no memory " + std::to_string(o.memory);
      return false;
    }
    s.registration = m.data.records[static_cast<std::size_t>(o.memory - 1)];
    s.temperament = m.data.temperament;
    s.reverb = m.data.reverbType;
    s.tremoloValue = m.data.tremoloValue;
  }
  std::int16_t* stops[] = {&s.registration.GreatStop, &s.registration.SwellStop,
                           &s.registration.PedalStop};
  for (std::size_t d = 0; d < 3; ++d)
    if (o.stops[d] >= 0) *stops[d] = static_cast<std::int16_t>(o.stops[d]);
  if (o.temperament >= 0) s.temperament = o.temperament;
  if (o.reverb >= 0) s.reverb = o.reverb;
  return true;
}

void report(const RenderOptions& o, const WavWriter& wav, const LevelMeter& m,
            const SysexCounts& c) {
  std::printf(
      "%s: %.2f s, peak %.3f (%.1f dBFS), RMS %.1f dBFS; data sets %d, ignored %d, "
      "malformed %d, unknown %d\n",
      o.render.c_str(), static_cast<double>(wav.frames()) / kRate, m.peak(), m.peakDb(), m.rmsDb(),
      c.dataSets, c.notForUs, c.malformed, c.unknownAddress);
  if (m.clipped() > 0)
    std::fprintf(stderr,
                 "kalvant-render: warning: %llu samples clipped (peak %.1f dBFS): fewer stops, "
                 "lower volumes or a quieter soundfont\n",
                 static_cast<unsigned long long>(m.clipped()), m.peakDb());
}

}  // namespace

int main(int argc, char** argv) {
  const RenderArgs args = parseRenderArgs({argv + 1, argv + argc});
  if (!args.ok) {
    std::fprintf(stderr, "kalvant-render: %s\n%s", args.error.c_str(), kUsage);
    return 2;
  }
  const RenderOptions& o = args.options;
  const std::string dat = !o.dat.empty() ? o.dat : o.playsOrgan() ? defaultOrgan() : "";
  StopsTable table;
  OrganSetting setting;
  if (!dat.empty()) {
    const DatReadResult read = readDatFile(dat);
    if (!read.ok) return fail(read.error);
    table = read.data;
    std::string error;
    if (!chooseSetting(o, dat, setting, error)) return fail(error);
  }
  std::vector<TimedMessage> events = demoChords();
  if (!o.play.empty()) {
    SmfReadResult midi = readSmfFile(o.play);
    if (!midi.ok) return fail(midi.error);
    events = std::move(midi.data);
  }
  const double end = events.empty() ? 0 : events.back().seconds;
  const RenderLength length = renderLength(end, o, kRate);
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
  OrganPlayer player(*engine.target, *engine.module, table);
  if (!dat.empty()) {
    player.reset();
    player.set(setting);
  }
  Renderer renderer(*engine.target, wav);
  for (const TimedMessage& m : events) {
    if (m.seconds > length.seconds) break;
    const auto frame = static_cast<std::uint64_t>(std::llround(m.seconds * kRate));
    if (!renderer.until(std::min(frame, length.frames))) return fail(wav.error());
    if (dat.empty()) {
      engine.module->receive(m.message);
    } else {
      player.play(m.message);
    }
  }
  if (!renderer.until(length.frames) || !wav.finish()) return fail(wav.error());
  if (length.cut)
    std::fprintf(stderr, "kalvant-render: warning: %s was cut at %g s (--max-seconds)\n",
                 o.play.empty() ? "the demo" : o.play.c_str(), length.seconds);
  report(o, wav, renderer.meter, engine.module->interpreter().counts());
  return 0;
}

// kalvant-render: plays a Standard MIDI File through the built-in GS module
// offline and writes a WAV file, so a stops table can be heard without a
// sound card.
//   kalvant-render --play in.mid --render out.wav [--soundfont F.sf2]
//                  [--dat kalvant.dat] [--tail SECONDS]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "midi/MidiBytes.h"
#include "stops/DatFile.h"
#include "synth/BuiltInSynth.h"
#include "synth/FluidTarget.h"
#include "synth/GsModule.h"
#include "synth/SmfReader.h"

namespace {

using namespace kalvant;
using namespace kalvant::synth;

constexpr int kRate = 44100;
constexpr int kBlock = 64;

const char* const kUsage =
    "usage: kalvant-render --play IN.mid --render OUT.wav [--soundfont FILE.sf2]\n"
    "                      [--dat kalvant.dat] [--tail SECONDS]\n"
    "With --dat the module first receives the console's reset: GS reset, set-up 1,\n"
    "identification, set-ups 2..6, reverb 7 (Church) and the Equal temperament.\n";

// What the console sends at RESET, in its order, with Equal temperament.
const std::vector<int> kResetEntries{100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103};

bool parseArgs(int argc, char** argv, std::map<std::string, std::string>& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string key = argv[i];
    if (key.rfind("--", 0) != 0 || i + 1 >= argc) return false;
    args[key.substr(2)] = argv[++i];
  }
  return args.count("play") && args.count("render");
}

void sendEntry(GsModule& module, const std::string& entry) {
  for (std::string_view m : midi::splitAtF7(entry))
    module.receive(reinterpret_cast<const std::uint8_t*>(m.data()), m.size());
}

void putLittle(std::string& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool writeWav(const std::string& path, const std::vector<std::int16_t>& interleaved) {
  const auto dataBytes = static_cast<std::uint32_t>(interleaved.size() * 2);
  std::string h = "RIFF";
  putLittle(h, 36 + dataBytes, 4);
  h += "WAVEfmt ";
  putLittle(h, 16, 4);
  putLittle(h, 1, 2);  // PCM
  putLittle(h, 2, 2);  // stereo
  putLittle(h, kRate, 4);
  putLittle(h, kRate * 4, 4);
  putLittle(h, 4, 2);
  putLittle(h, 16, 2);
  h += "data";
  putLittle(h, dataBytes, 4);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(h.data(), static_cast<std::streamsize>(h.size()));
  for (std::int16_t s : interleaved) {
    const auto u = static_cast<std::uint16_t>(s);
    const char b[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    out.write(b, 2);
  }
  return static_cast<bool>(out);
}

class Renderer {
 public:
  explicit Renderer(FluidTarget& target) : target_(target) {}
  void until(double seconds) {
    const auto frame = static_cast<long>(seconds * kRate);
    float left[kBlock], right[kBlock];
    while (frames_ < frame) {
      const int n = static_cast<int>(std::min<long>(kBlock, frame - frames_));
      target_.render(left, right, n);
      for (int i = 0; i < n; ++i) {
        push(left[i]);
        push(right[i]);
      }
      frames_ += n;
    }
  }
  const std::vector<std::int16_t>& samples() const { return samples_; }
  float peak() const { return peak_; }

 private:
  void push(float v) {
    peak_ = std::max(peak_, std::fabs(v));
    samples_.push_back(static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767)));
  }
  FluidTarget& target_;
  long frames_ = 0;
  float peak_ = 0;
  std::vector<std::int16_t> samples_;
};

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, std::string> args;
  if (!parseArgs(argc, argv, args)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const SmfReadResult midi = readSmfFile(args["play"]);
  if (!midi.ok) {
    std::fprintf(stderr, "kalvant-render: %s\n", midi.error.c_str());
    return 1;
  }
  std::string error;
  SynthEngine engine(kRate, args.count("soundfont") ? args["soundfont"] : kDefaultSoundfont, error);
  if (!error.empty()) {
    std::fprintf(stderr, "kalvant-render: %s\n", error.c_str());
    return 1;
  }
  if (args.count("dat")) {
    const DatReadResult dat = readDatFile(args["dat"]);
    if (!dat.ok) {
      std::fprintf(stderr, "kalvant-render: %s\n", dat.error.c_str());
      return 1;
    }
    for (int e : kResetEntries) sendEntry(*engine.module, dat.table[static_cast<std::size_t>(e)]);
  }
  Renderer renderer(*engine.target);
  double end = 0;
  for (const TimedMessage& m : midi.messages) {
    renderer.until(m.seconds);
    engine.module->receive(m.message);
    end = m.seconds;
  }
  renderer.until(end + (args.count("tail") ? std::stod(args["tail"]) : 3.0));
  if (!writeWav(args["render"], renderer.samples())) {
    std::fprintf(stderr, "kalvant-render: cannot write %s\n", args["render"].c_str());
    return 1;
  }
  const SysexCounts& c = engine.module->interpreter().counts();
  std::printf("%s: %.2f s, peak %.3f; data sets %d, ignored %d, malformed %d, unknown %d\n",
              args["render"].c_str(), renderer.samples().size() / 2.0 / kRate, renderer.peak(),
              c.dataSets, c.notForUs, c.malformed, c.unknownAddress);
  return 0;
}

// The offline renderer against hostile command lines, endless files and odd targets.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "synth/FluidTarget.h"
#include "synth/RenderOptions.h"
#include "synth/WavWriter.h"

namespace kalvant::synth {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w == "''" ? "" : w);
  return out;
}

std::string contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

struct RendererInputs : ::testing::Test {
  void TearDown() override { fs::remove_all(dir_); }
  std::set<std::string> entries() const {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) out.insert(e.path().filename());
    return out;
  }
  fs::path dir_ = [] {
    char pattern[] = "/tmp/kalvant-render-XXXXXX";
    return fs::path(::mkdtemp(pattern));
  }();
};

// Each refused command line names what is wrong with it.
void expectRefused(const std::string& prefix, const char* error, std::vector<const char*> args) {
  for (const char* a : args) {
    const RenderArgs r = parseRenderArgs(words(prefix + a));
    EXPECT_FALSE(r.ok) << a;
    EXPECT_NE(r.error.find(error), std::string::npos) << a << ": " << r.error;
  }
}

TEST_F(RendererInputs, CommandLines) {
  // After "--play a.mid --render b.wav"; '' is an empty word.
  const std::string prefix = "--play a.mid --render b.wav ";
  const std::tuple<const char*, double, double> accepted[] = {
      {"", 3, 3600},
      {"--tail 0.25 --max-seconds 10 --soundfont x.sf2", 0.25, 10},
      {"--tail 3600 --max-seconds 0", 3600, 0},
  };
  for (const auto& [args, tail, max] : accepted) {
    const RenderArgs r = parseRenderArgs(words(prefix + args));
    ASSERT_TRUE(r.ok) << args << ": " << r.error;
    EXPECT_EQ(std::pair(r.options.tailSeconds, r.options.maxSeconds), std::pair(tail, max)) << args;
  }
  expectRefused(prefix, "--tail wants seconds", {"--tail abc"});
  expectRefused(prefix, "--tail",
                {"--tail 1x", "--tail ''", "--tail -1", "--tail 3600.5", "--tail nan", "--tail inf",
                 "--tail 1e2"});
  expectRefused(prefix, "--max-seconds", {"--max-seconds 86401", "--max-seconds 0x10"});
  expectRefused(prefix, "unknown option --bogus", {"--bogus 1"});
  expectRefused(prefix, "unknown option tail", {"tail 1"});
  expectRefused(prefix, "--tail needs a value", {"--tail"});
  expectRefused(prefix, "--dat needs a value", {"--dat --tail 1"});
  expectRefused(prefix, "required", {"--render ''"});
}

TEST_F(RendererInputs, RegistrationOptions) {
  // After "--render b.wav": stops G/S/P, memory, temperament, reverb, whether the organ plays.
  const std::string prefix = "--render b.wav ";
  using Stops = std::array<int, 3>;
  const std::tuple<const char*, Stops, int, int, int, bool> accepted[] = {
      {"--play a.mid", {-1, -1, -1}, -1, -1, -1, false},
      {"", {-1, -1, -1}, -1, -1, -1, true},  // the demo
      {"--stops great=26,pedal=90", {26, -1, 90}, -1, -1, -1, true},
      {"--stops swell=79,great=10,swell=50", {10, 50, -1}, -1, -1, -1, true},
      {"--fixed 12 --temperament kirnberger --reverb chapel", {-1, -1, -1}, 12, 3, 2, true},
      {"--memory my:file.sqs:1 --temperament 0 --reverb 1", {-1, -1, -1}, 1, 0, 1, true},
  };
  for (const auto& [args, stops, memory, temperament, reverb, organ] : accepted) {
    const RenderArgs r = parseRenderArgs(words(prefix + args));
    ASSERT_TRUE(r.ok) << args << ": " << r.error;
    const RenderOptions& o = r.options;
    EXPECT_EQ(std::tuple(o.stops, o.memory, o.temperament, o.reverb, o.playsOrgan()),
              std::tuple(stops, memory, temperament, reverb, organ))
        << args;
  }
  expectRefused(prefix, "--stops wants",
                {"--stops great=50", "--stops pedal=100", "--stops choir=10", "--stops 0=10",
                 "--stops great=10,", "--stops great=1e1"});
  expectRefused(prefix, "--fixed wants", {"--fixed 13", "--fixed 0"});
  expectRefused(prefix, "--memory wants", {"--memory file.sqs", "--memory :3"});
  expectRefused(prefix, "--temperament wants", {"--temperament werckmeister", "--temperament 4"});
  expectRefused(prefix, "--reverb wants", {"--reverb hall"});
}

TEST_F(RendererInputs, LengthIsCutAtTheMaximum) {
  const std::tuple<double, double, double, std::uint64_t, bool, bool> rows[] = {
      {1, 3, 3600, 176400, false, true},
      {4.5e9, 3, 3600, 158760000, true, true},  // a delta of 2^28 ticks at 16.7 s a tick
      {10, 0, 10, 441000, false, true},
      {1e300, 3, 0, 0, true, true},
      {24347, 0, 86400, 1073702700, false, true},
      {24348, 0, 86400, 1073746800, false, false},
  };
  for (const auto& [fileEnd, tail, max, frames, cut, fits] : rows) {
    RenderOptions o;
    o.tailSeconds = tail;
    o.maxSeconds = max;
    const RenderLength l = renderLength(fileEnd, o, 44100);
    EXPECT_EQ(std::tuple(l.frames, l.cut, l.frames <= kMaxWavFrames), std::tuple(frames, cut, fits))
        << fileEnd;
  }
}

TEST_F(RendererInputs, WavHeaderAndSamplesAndTargetsThatAreNotFiles) {
  const fs::path path = dir_ / "out.wav";
  const float left[] = {0, 1, 2, -0.5f}, right[] = {-1, -2, 0.5f, 0};
  WavWriter wav;
  ASSERT_TRUE(wav.open(path, 44100));
  ASSERT_TRUE(wav.write(left, right, 4));
  ASSERT_TRUE(wav.finish()) << wav.error();
  EXPECT_EQ(contents(path), std::string("RIFF\x34\0\0\0WAVEfmt \x10\0\0\0\1\0\2\0\x44\xAC\0\0"
                                        "\x10\xB1\2\0\4\0\x10\0data\x10\0\0\0\0\0\x01\x80\xFF\x7F"
                                        "\x01\x80\xFF\x7F\x00\x40\0\xC0\0\0",
                                        60));
  EXPECT_EQ(wav.peak(), 2);
  fs::create_symlink("/dev/full", dir_ / "full");
  const std::pair<std::string, const char*> rows[] = {
      {dir_ / "full", "/full: it is not a regular file"},
      {dir_, "it is a folder"},
      {dir_ / "missing" / "out.wav", "No such file or directory"}};
  for (const auto& [target, error] : rows) {
    WavWriter refused;
    EXPECT_FALSE(refused.open(target, 44100)) << target;
    EXPECT_NE(refused.error().find(error), std::string::npos) << refused.error();
  }
  EXPECT_EQ(entries(), (std::set<std::string>{"full", "out.wav"}));
}

// In a child limited to 16 KiB files: a short write, then EFBIG.
int writeLimited(const fs::path& path, std::size_t frames) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlimit limit{16384, 16384};
    ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::vector<float> samples(frames, 0.25f);
    WavWriter wav;
    const bool ok =
        wav.open(path, 44100) && wav.write(samples.data(), samples.data(), frames) && wav.finish();
    const bool named = wav.error() == "cannot write " + path.string() + ": File too large";
    ::_exit(ok ? 1 : named ? 0 : 2);
  }
  int status = -1;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RendererInputs, ShortWriteFailsAndKeepsTheOldFile) {
  for (std::size_t frames : {4110, 44100}) {
    const fs::path path = dir_ / "out.wav";
    std::ofstream(path) << "old";
    EXPECT_EQ(writeLimited(path, frames), 0) << frames;
    EXPECT_EQ(std::pair(contents(path), entries()),
              std::pair(std::string("old"), std::set<std::string>{"out.wav"}));
  }
}

TEST_F(RendererInputs, ExitCodes) {
  std::ofstream(dir_ / "endless.mid", std::ios::binary)
      << std::string("MThd\0\0\0\6\0\0\0\1\0\1MTrk\0\0\0\x12\0\xFF\x51\3\xFF\xFF\xFF", 29)
      << std::string("\x8F\xFF\xFF\x7F\x90\x3C\x64\0\xFF\x2F\0", 11);
  fs::create_symlink("/dev/full", dir_ / "full");
  std::ofstream(dir_ / "smpte.mid", std::ios::binary)
      << std::string("MThd\0\0\0\6\0\0\0\1\xE7\0MTrk\0\0\0\4\0\xFF\x2F\0", 26);
  const std::tuple<const char*, int, const char*> rows[] = {
      {"--play endless.mid --render o.wav --tail abc", 2, "usage:"},
      {"--play smpte.mid --render o.wav", 1, "time division"},
      {"--play endless.mid --render o.wav --max-seconds 86400", 1, "do not fit a WAV"},
      {"--play endless.mid --render full --max-seconds 0.05", 1, "cannot write full"},
      {"--play endless.mid --render o.wav --max-seconds 0.05", 0, "was cut at 0.05 s"},
      {"--render d.wav --memory missing.sqs:2", 1, "missing.sqs"},
      {"--render d.wav --fixed 12 --max-seconds 2", 0, "peak 0."},
      // Every key of the full organ at once: more than full scale.
      {"--render d.wav --play cluster.mid --fixed 12 --tail 0.3", 0, "samples clipped"}};
  std::string cluster;
  for (const auto& [channel, low, high] :
       {std::tuple{0x90, 36, 96}, {0x91, 36, 96}, {0x92, 24, 55}})
    for (int key = low; key <= high; ++key) cluster += {'\0', char(channel), char(key), '\x7F'};
  std::ofstream(dir_ / "cluster.mid", std::ios::binary)
      << std::string("MThd\0\0\0\6\0\0\0\1\1\xE0MTrk\0\0\x02\x6D", 22) << cluster
      << std::string("\x83\x60\xFF\x2F\0", 5);
  for (const auto& [args, exit, text] : rows) {
    if (exit == 0 && !fs::exists(kDefaultSoundfont)) continue;  // a render needs the soundfont
    const std::string command = "cd " + dir_.string() + " && " + KALVANT_RENDER_BINARY + " " + args;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    std::string output;
    for (int c; (c = std::fgetc(pipe)) != EOF;) output.push_back(static_cast<char>(c));
    const int status = ::pclose(pipe);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, exit) << args << output;
    EXPECT_NE(output.find(text), std::string::npos) << args << output;
  }
  if (fs::exists(kDefaultSoundfont)) {
    EXPECT_EQ(fs::file_size(dir_ / "o.wav"), 44u + 2205 * 4);
  }
}

}  // namespace
}  // namespace kalvant::synth

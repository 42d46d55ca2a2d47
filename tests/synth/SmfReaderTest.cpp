// The Standard MIDI File reader.

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "synth/SmfReader.h"

namespace kalvant::synth {
namespace {

std::string be(std::uint32_t v, int n) {
  std::string s;
  for (int i = n - 1; i >= 0; --i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}
std::string smf(int format, int division, const std::vector<std::string>& tracks) {
  std::string s = "MThd" + be(6, 4) + be(format, 2) + be(tracks.size(), 2) + be(division, 2);
  for (const std::string& t : tracks) s += "MTrk" + be(t.size(), 4) + t;
  return s;
}
std::string bytes(std::initializer_list<int> b) {
  return std::string(b.begin(), b.end());
}
const std::string kEnd = bytes({0x00, 0xFF, 0x2F, 0x00});

TEST(SmfReader, RunningStatusTempoAndTracksInTime) {
  // 480 ticks a quarter; tempo 1 s a quarter from tick 480 on.
  const std::string conductor = bytes({0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}) + kEnd;
  const std::string notes =
      bytes({0x00, 0x90, 60,   100,  0x83, 0x60, 62,   100,  0x83, 0x60, 0x80,
             60,   0,    0x00, 0xF0, 0x03, 0x41, 0x10, 0xF7, 0x00, 0xC0, 19}) +
      kEnd;
  const SmfReadResult r = parseSmf(smf(1, 480, {conductor, notes}));
  ASSERT_TRUE(r.ok) << r.error;
  std::vector<std::pair<long, std::vector<std::uint8_t>>> got;
  for (const auto& e : r.data) got.emplace_back(std::lround(e.seconds * 1e6), e.message);
  EXPECT_EQ(got, (decltype(got){{0, {0x90, 60, 100}},
                                {500000, {0x90, 62, 100}},
                                {1500000, {0x80, 60, 0}},
                                {1500000, {0xF0, 0x41, 0x10, 0xF7}},
                                {1500000, {0xC0, 19}}}));
}

TEST(SmfReader, TimeDivisionsTemposAndDamagedFiles) {
  const std::string note = bytes({0x90, 60, 100});
  const std::tuple<const char*, std::string, double> rows[] = {
      {"", smf(0, 0xE728, {bytes({0x87, 0x68}) + note + kEnd}), 1.0},  // 25 frames of 40 ticks
      {"", smf(0, 0xE301, {bytes({0x1E}) + note + kEnd}), 1.001},      // 29.97 frames of 1 tick
      {"", smf(0, 96, {bytes({0, 0xFF, 0x51, 3, 0, 0, 0, 0x60}) + note + kEnd}), 0.5},  // tempo 0
      {"", smf(0, 96, {bytes({0, 0xFF, 0x51, 2, 0, 1, 0x60}) + note + kEnd}), 0.5},  // short tempo
      {"not a Standard MIDI File", "RIFF0000WAVEfmt ", 0},
      {"only formats 0 and 1", smf(2, 96, {kEnd}), 0},
      {"cut short", smf(0, 96, {kEnd}).substr(0, 24), 0},
      {"without a status", smf(0, 96, {bytes({0x00, 60, 100}) + kEnd}), 0},
      {"runs past its track", smf(0, 96, {bytes({0x00, 0x90, 60})}), 0},
      {"runs past its track", smf(0, 96, {bytes({0x00, 0xF0, 0x7F, 0x41})}), 0},
      {"runs past its track", smf(0, 96, {bytes({0x00, 0xFF, 0x01, 0x7F, 0x41})}), 0},
      {"longer than 4 bytes", smf(0, 96, {bytes({0x80, 0x80, 0x80, 0x80, 0, 0xC0, 1}) + kEnd}), 0},
      {"status byte where data", smf(0, 96, {bytes({0x00, 0x90, 60, 0x80, 60, 0}) + kEnd}), 0},
      {"system message", smf(0, 96, {bytes({0x00, 0xF8, 0x00, 0xF2, 1, 2}) + kEnd}), 0},
      {"time division", smf(0, 0, {kEnd}), 0},
      {"time division", smf(0, 0xE700, {kEnd}), 0},   // 25 frames, 0 ticks per frame
      {"time division", smf(0, 0xE904, {kEnd}), 0},   // 23 frames
      {"time division", smf(0, 0x8004, {kEnd}), 0}};  // 128 frames
  for (const auto& [error, file, seconds] : rows) {
    const SmfReadResult r = parseSmf(file);
    EXPECT_EQ(r.ok, !*error) << error;
    EXPECT_NE(r.error.find(error), std::string::npos) << error << ": " << r.error;
    if (r.ok) {
      ASSERT_EQ(r.data.size(), 1u);
      EXPECT_NEAR(r.data[0].seconds, seconds, 1e-9);
    }
  }
}

}  // namespace
}  // namespace kalvant::synth

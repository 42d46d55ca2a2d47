// The Standard MIDI File reader: running status, tempo changes, tracks
// merged in time, sysex events, SMPTE time, and damaged files refused.

#include <gtest/gtest.h>

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
  std::string s;
  for (int v : b) s.push_back(static_cast<char>(v));
  return s;
}

const std::string kEnd = bytes({0x00, 0xFF, 0x2F, 0x00});

TEST(SmfReader, RunningStatusTempoAndTracksInTime) {
  // 480 ticks a quarter; tempo 1 s a quarter from tick 480 on.
  const std::string conductor = bytes({0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}) + kEnd;
  const std::string notes = bytes({0x00, 0x90, 60,   100,      // t=0
                                   0x83, 0x60, 62,   100,      // running status, tick 480
                                   0x83, 0x60, 0x80, 60,   0,  // tick 960
                                   0x00, 0xF0, 0x03, 0x41, 0x10, 0xF7, 0x00, 0xC0, 19}) +
                            kEnd;
  const SmfReadResult r = parseSmf(smf(1, 480, {conductor, notes}));
  ASSERT_TRUE(r.ok) << r.error;
  const std::vector<std::pair<double, std::vector<std::uint8_t>>> expected{
      {0.0, {0x90, 60, 100}},
      {0.5, {0x90, 62, 100}},
      {1.5, {0x80, 60, 0}},
      {1.5, {0xF0, 0x41, 0x10, 0xF7}},
      {1.5, {0xC0, 19}}};
  ASSERT_EQ(r.data.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_DOUBLE_EQ(r.data[i].seconds, expected[i].first) << i;
    EXPECT_EQ(r.data[i].message, expected[i].second) << i;
  }
}

TEST(SmfReader, DamagedFilesAreRefused) {
  const std::vector<std::pair<const char*, std::string>> cases{
      {"not a Standard MIDI File", "RIFF0000WAVEfmt "},
      {"only formats 0 and 1", smf(2, 96, {kEnd})},
      {"cut short", smf(0, 96, {kEnd}).substr(0, 24)},
      {"without a status", smf(0, 96, {bytes({0x00, 60, 100}) + kEnd})},
      {"runs past its track", smf(0, 96, {bytes({0x00, 0x90, 60})})},
      {"runs past its track", smf(0, 96, {bytes({0x00, 0xF0, 0x7F, 0x41})})},
      {"runs past its track", smf(0, 96, {bytes({0x00, 0xFF, 0x01, 0x7F, 0x41})})},
      {"longer than 4 bytes", smf(0, 96, {bytes({0x80, 0x80, 0x80, 0x80, 0x00, 0xC0, 1}) + kEnd})},
      {"status byte where data", smf(0, 96, {bytes({0x00, 0x90, 60, 0x80, 60, 0}) + kEnd})},
      {"system message", smf(0, 96, {bytes({0x00, 0xF8, 0x00, 0xF2, 1, 2}) + kEnd})},
      {"time division", smf(0, 0, {kEnd})},
      {"time division", smf(0, 0xE700, {kEnd})},  // 25 frames, 0 ticks per frame
      {"time division", smf(0, 0xE904, {kEnd})},  // 23 frames
      {"time division", smf(0, 0x8004, {kEnd})},  // 128 frames
  };
  for (const auto& [error, file] : cases) {
    const SmfReadResult r = parseSmf(file);
    EXPECT_FALSE(r.ok) << error;
    EXPECT_NE(r.error.find(error), std::string::npos) << error << ": " << r.error;
  }
}

TEST(SmfReader, TimeDivisionsAndOddTempos) {
  const std::string note = bytes({0x90, 60, 100});
  const std::vector<std::tuple<const char*, int, std::string, double>> cases{
      {"25 frames of 40 ticks", 0xE728, bytes({0x87, 0x68}) + note, 1.0},
      {"29.97 frames of 1 tick", 0xE301, bytes({0x1E}) + note, 1.001},
      {"a tempo of 0 is ignored", 96, bytes({0, 0xFF, 0x51, 3, 0, 0, 0, 0x60}) + note, 0.5},
      {"a short tempo is ignored", 96, bytes({0, 0xFF, 0x51, 2, 0, 1, 0x60}) + note, 0.5},
  };
  for (const auto& [name, division, track, seconds] : cases) {
    const SmfReadResult r = parseSmf(smf(0, division, {track + kEnd}));
    ASSERT_TRUE(r.ok) << name << ": " << r.error;
    ASSERT_EQ(r.data.size(), 1u) << name;
    EXPECT_NEAR(r.data[0].seconds, seconds, 1e-9) << name;
  }
}

}  // namespace
}  // namespace kalvant::synth

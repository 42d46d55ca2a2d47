// The Standard MIDI File reader: running status, tempo changes, tracks
// merged in time, sysex events, and damaged files refused.

#include <gtest/gtest.h>

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
  ASSERT_EQ(r.messages.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_DOUBLE_EQ(r.messages[i].seconds, expected[i].first) << i;
    EXPECT_EQ(r.messages[i].message, expected[i].second) << i;
  }
}

TEST(SmfReader, DamagedFilesAreRefused) {
  const std::vector<std::pair<const char*, std::string>> cases{
      {"not MIDI", "RIFF0000WAVEfmt "},
      {"format 2", smf(2, 96, {kEnd})},
      {"track cut short", smf(0, 96, {kEnd}).substr(0, 24)},
      {"data without status", smf(0, 96, {bytes({0x00, 60, 100}) + kEnd})},
      {"event past the end", smf(0, 96, {bytes({0x00, 0x90, 60})})},
      {"sysex past the end", smf(0, 96, {bytes({0x00, 0xF0, 0x7F, 0x41})})},
  };
  for (const auto& [name, file] : cases) EXPECT_FALSE(parseSmf(file).ok) << name;
}

}  // namespace
}  // namespace kalvant::synth

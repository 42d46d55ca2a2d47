// The MIDI monitor's decoding, its lines and its tap.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "midi/MonitorTap.h"
#include "monitor/MidiDecode.h"
#include "monitor/MonitorLog.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using midi::Bytes;
using midi::TapPort;

std::string describe(const Bytes& b, const monitor::SysexNames& names = {}) {
  return monitor::describe(b.data(), b.size(), b.size(), names);
}

TEST(MonitorDecode, NamesWhatItSees) {
  const std::pair<Bytes, const char*> rows[] = {
      {{0x90, 60, 100}, "Note on C4 vel 100, ch 1 (Great)"},
      {{0x91, 61, 0}, "Note off C#4 vel 0, ch 2 (Swell)"},
      {{0x82, 36, 64}, "Note off C2 vel 64, ch 3 (Pedal)"},
      {{0x93, 0, 1}, "Note on C-1 vel 1, ch 4"},
      {{0x9F, 127, 1}, "Note on G9 vel 1, ch 16"},
      {{0xB0, 7, 100}, "Controller 7 Volume = 100, ch 1 (Great)"},
      {{0xB1, 11, 5}, "Controller 11 Expression = 5, ch 2 (Swell)"},
      {{0xB0, 64, 127}, "Controller 64 Sustain = 127, ch 1 (Great)"},
      {{0xB0, 1, 0}, "Controller 1 Modulation = 0, ch 1 (Great)"},
      {{0xB0, 20, 3}, "Controller 20 = 3, ch 1 (Great)"},
      {{0xC2, 5}, "Program change 5, ch 3 (Pedal)"},
      {{0xD0, 9}, "Channel pressure 9, ch 1 (Great)"},
      {{0xE0, 0, 64}, "Pitch bend 0, ch 1 (Great)"},
      {{0xE0, 1, 64}, "Pitch bend +1, ch 1 (Great)"},
      {{0xFE}, "Active sensing"},
      // Running status, a real-time byte inside, a message cut off.
      {{0x90, 60, 1, 62, 0}, "Note on C4 vel 1, ch 1 (Great); Note off D4 vel 0, ch 1 (Great)"},
      {{0x90, 60, 0xF8, 1}, "Clock; Note on C4 vel 1, ch 1 (Great)"},
      {{0x90, 60}, "Incomplete 90 3C"},
      {{0x90, 60, 0x80, 60, 0}, "Incomplete 90 3C; Note off C4 vel 0, ch 1 (Great)"},
      {{0x40}, "Incomplete 40"},
      {{0xF0, 0x41, 0x10, 0xF7}, "SysEx F0 41 10 F7 (4 bytes)"},
  };
  for (const auto& [bytes, text] : rows) EXPECT_EQ(describe(bytes), text) << text;
}

TEST(MonitorDecode, NamesTheStopsTableEntriesInPlay) {
  StopsTable t = taggedTable();
  t[34] = std::string(120, '\x11');
  t[34].front() = '\xF0', t[34].back() = '\xF7';
  t[34 + entry::kStopNameOffset] = "Trumpet 8'  ";
  t[35] = std::string("\xF0\x01\xF7\xF0\x02\xF7") + std::string(110, '\x00');  // two messages
  t[35 + entry::kStopNameOffset] = "Oboe 8\xB4";                               // Windows-1252
  t[36] = "\xF0\x24\xF7";  // an undefined stop names nothing
  t[7] = "\xF0\x07\xF7", t[entry::kFirstLabel + 7] = "Church";
  t[101] = "\xF0\x65\xF7", t[entry::kFirstSystemLabel + 1] = "Equal";
  monitor::SysexNames names;
  names.load(t);
  const std::pair<std::string, std::string> rows[] = {
      {t[34], "stop 25 Trumpet 8' (entry 34, 120 bytes)"},
      {"\xF0\x02\xF7", "stop 26 Oboe 8\u00B4 (entry 35, 116 bytes, message 2 of 2)"},
      {"\xF0\x07\xF7", "Church (entry 7, 3 bytes)"},
      {"\xF0\x65\xF7", "Equal (entry 101, 3 bytes)"},
      {"\xF0\x24\xF7", "SysEx F0 24 F7 (3 bytes)"},
  };
  for (const auto& [bytes, text] : rows)
    EXPECT_EQ(describe(Bytes(bytes.begin(), bytes.end()), names), text);
  // A sysex longer than a record shows its start and its length.
  const Bytes cut(t[34].begin(), t[34].end());
  EXPECT_EQ(monitor::describe(cut.data(), 4, cut.size(), names),
            "SysEx F0 11 11 11 \u2026 (120 bytes)");
}

TEST(MonitorLog, KeepsTheLastLinesAndFiltersByPort) {
  monitor::MonitorLog log;
  const std::size_t n = monitor::MonitorLog::kMaxLines + 5;
  for (std::size_t i = 0; i < n; ++i)
    log.add(i % 3 ? TapPort::Out : TapPort::In1, std::to_string(i));
  ASSERT_EQ(log.size(), monitor::MonitorLog::kMaxLines);
  EXPECT_EQ(log.lines().front().text, "5");
  EXPECT_EQ(log.lines().back().text, std::to_string(n - 1));
  const std::string inOnly = log.text({true, false, false});
  EXPECT_EQ(inOnly.substr(0, 7), "6\n9\n12\n");
  EXPECT_EQ(std::count(inOnly.begin(), inOnly.end(), '\n'), 3333);
}

// Rings of 4: each producer's records in order, the rings merged by time,
// the fifth record of a ring dropped and counted.
TEST(MonitorTap, KeepsOrderBoundsAndCountsDrops) {
  midi::MonitorTap tap(4);
  const std::uint8_t b[1] = {0xF8};
  tap.record(0, TapPort::In1, b, 1);
  EXPECT_EQ(tap.drain([](const midi::TapRecord&) {}), 0u);  // not watched: nothing kept
  tap.setWatching(true);
  const std::pair<int, std::uint8_t> pushes[] = {{0, 1}, {2, 2}, {1, 3}, {0, 4},
                                                 {0, 5}, {0, 6}, {0, 7}, {2, 8}};
  for (const auto& [producer, value] : pushes) {
    const std::uint8_t bytes[3] = {0x90, value, 1};
    tap.record(producer, producer == 2 ? TapPort::Out : TapPort(producer), bytes, 3);
  }
  std::vector<int> seen;
  tap.drain([&](const midi::TapRecord& r) { seen.push_back(r.bytes[1]); });
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6, 8}));
  EXPECT_EQ(tap.dropped(), 1u);
  tap.setWatching(false), tap.record(0, TapPort::In1, b, 1), tap.setWatching(true);
  EXPECT_EQ(tap.drain([](const midi::TapRecord&) {}), 0u);
}

// A producer thread against the draining GUI thread: nothing out of order,
// nothing lost that is not counted.
TEST(MonitorTap, AProducerNeverWaitsOnTheConsumer) {
  midi::MonitorTap tap(64);
  tap.setWatching(true);
  constexpr std::uint32_t kCount = 100000;
  std::thread producer([&] {
    for (std::uint32_t i = 0; i < kCount; ++i)
      tap.record(1, TapPort::In2, reinterpret_cast<const std::uint8_t*>(&i), 4);
  });
  std::uint32_t got = 0, last = 0;
  bool ordered = true;
  auto take = [&](const midi::TapRecord& r) {
    std::uint32_t v;
    std::memcpy(&v, r.bytes, 4);
    ordered = ordered && (got == 0 || v > last), last = v, ++got;
  };
  while (got + tap.dropped() < kCount) tap.drain(take, 16);
  producer.join();
  EXPECT_TRUE(ordered);
  EXPECT_EQ(got + tap.dropped(), kCount);
}

// The console's ports feed the process's tap: a key on input 1 and what the
// live router and the console send for it.
TEST(MonitorTap, SeesTheConsolesInputsAndOutput) {
  ConsoleTest t;
  t.in1.selectDevice(0), t.in1.open(), t.in1.start();
  t.startPlaying();
  midi::MonitorTap& tap = midi::monitorTap();
  tap.setWatching(true);
  t.in1.inject({0x90, 60, 100});
  t.k->Resend_Click(), t.loop.drain();
  tap.setWatching(false);
  t.in1.inject({0x80, 60, 0});
  std::vector<std::pair<TapPort, int>> seen;
  tap.drain([&](const midi::TapRecord& r) { seen.emplace_back(r.port, r.bytes[0]); });
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[0], std::pair(TapPort::In1, 0x90));
  EXPECT_EQ(seen[1], std::pair(TapPort::Out, 0x90));  // routed live
  EXPECT_EQ(seen[2].first, TapPort::Out);             // the registration, resent
  EXPECT_EQ(static_cast<std::size_t>(std::count_if(
                seen.begin(), seen.end(), [](auto& s) { return s.first == TapPort::Out; })),
            seen.size() - 1);
}

}  // namespace
}  // namespace kalvant::test

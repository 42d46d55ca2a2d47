#include "routing/LiveRouting.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace kalvant::routing {
namespace {

using Bytes = std::vector<int>;

struct Out final : midi::CycleOut, LiveRouting::Sink {
  std::vector<Bytes> sent;
  bool send(const std::uint8_t* data, std::size_t size) noexcept override {
    sent.emplace_back(data, data + size);
    return true;
  }
  void send(int status, int data1, int data2) override { sent.push_back({status, data1, data2}); }
  std::vector<Bytes> take() { return std::exchange(sent, {}); }
};

midi::InMessage msg(int s, int d1, int d2) {
  return {static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(d1),
          static_cast<std::uint8_t>(d2)};
}

RoutingState normalThru(i16 manual, i16 manualCoupler = 0) {
  RoutingState r;
  r.thruMode = 1, r.activeManual = manual, r.manualCoupler = manualCoupler;
  return r;
}

// What the driver thread takes, and what it leaves to the console.
TEST(LiveRouting, TakesWhatNeedsNoConsole) {
  RoutingState armed = normalThru(1);
  armed.commandArmed = true;
  RoutingState capturing;
  capturing.channelCapture = true;
  const struct {
    RoutingState state;
    midi::InMessage m;
    bool taken;
    std::vector<Bytes> sent;
  } rows[] = {
      {normalThru(2), msg(0x95, 60, 90), true, {{0x91, 60, 90}}},
      {normalThru(1, 1), msg(0x90, 60, 90), true, {{0x90, 60, 90}, {0x91, 60, 90}}},
      {normalThru(1), msg(0xB4, 10, 3), true, {{0xB0, 10, 3}}},  // a controller passes
      {normalThru(1), msg(0xB0, 64, 50), true, {}},              // a half pedal: nothing
      {normalThru(1), msg(0xC3, 5, 0), true, {{0xC3, 5}}},       // two bytes, not three
      {normalThru(1), msg(0xB0, 64, 127), false, {}},            // arms: a command
      {normalThru(1), msg(0xB2, 11, 64), false, {}},             // a volume pedal
      {normalThru(1), msg(0xE0, 0, 78), false, {}},              // the wheel
      {armed, msg(0x90, 62, 90), false, {}},                     // a key command
      {armed, msg(0x80, 62, 0), true, {{0x80, 62, 0}}},          // its release is a release
      {capturing, msg(0x94, 60, 90), false, {}},                 // learned by the console
  };
  for (const auto& row : rows) {
    LiveRouting live;
    Out out;
    live.publish(row.state, true);
    EXPECT_EQ(live.take(0, row.m, out), row.taken) << int{row.m.status} << " " << int{row.m.data1};
    EXPECT_EQ(out.sent, row.sent) << int{row.m.status} << " " << int{row.m.data1};
  }
}

TEST(LiveRouting, NothingIsTakenOutsideTheConsolesLife) {
  LiveRouting live;
  Out out;
  EXPECT_FALSE(live.take(0, msg(0x90, 60, 90), out));  // never published
  live.publish(normalThru(1), false);
  EXPECT_FALSE(live.take(0, msg(0x90, 60, 90), out));
  EXPECT_TRUE(out.sent.empty());
}

// A release follows its note-on whichever thread routed either, and
// whatever the routing became meanwhile; each input keeps its own notes.
TEST(LiveRouting, HeldNotesAcrossBothThreads) {
  LiveRouting live;
  Out out;
  live.publish(normalThru(1, 1), true);
  ASSERT_TRUE(live.take(0, msg(0x90, 60, 90), out));  // Great and its coupled Swell
  live.play(1, msg(0x90, 60, 80), route(normalThru(3), {0x90, 60, 80}), out);
  out.take();
  live.publish(normalThru(2), true);
  live.play(0, msg(0x80, 60, 0), route(normalThru(2), {0x80, 60, 0}), out);
  EXPECT_EQ(out.take(), (std::vector<Bytes>{{0x80, 60, 0}, {0x81, 60, 0}}));
  ASSERT_TRUE(live.take(1, msg(0x90, 60, 0), out));
  EXPECT_EQ(out.take(), (std::vector<Bytes>{{0x92, 60, 0}}));
}

TEST(LiveRouting, ReleasedHeldNotesDropTheirKeysOwnRelease) {
  LiveRouting live;
  Out out;
  live.publish(normalThru(1, 1), true);
  live.take(0, msg(0x90, 60, 90), out);
  live.take(1, msg(0x92, 40, 90), out);
  out.take();
  live.releaseHeld(0, out);
  EXPECT_EQ(out.take(), (std::vector<Bytes>{{0x80, 60, 64}, {0x81, 60, 64}}));
  live.releaseHeld(0, out);
  EXPECT_TRUE(out.take().empty());
  EXPECT_TRUE(live.take(0, msg(0x80, 60, 0), out));
  EXPECT_TRUE(out.take().empty());
  EXPECT_TRUE(live.take(1, msg(0x80, 40, 0), out));  // the other input's note was left alone
  EXPECT_EQ(out.take(), (std::vector<Bytes>{{0x80, 40, 0}, {0x81, 40, 0}}));
}

// The reader sees only whole states, and the newest once it has settled.
TEST(LiveRouting, TheHandoverNeverTearsAState) {
  LatestValue<std::array<int, 8>> handover;
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    while (!stop.load()) {
      const auto& v = handover.latest();
      for (int x : v) ASSERT_EQ(x, v[0]);
    }
  });
  for (int i = 1; i <= 200000; ++i) {
    std::array<int, 8> v;
    v.fill(i);
    handover.publish(v);
  }
  stop = true;
  reader.join();
  EXPECT_EQ(handover.latest()[7], 200000);
}

}  // namespace
}  // namespace kalvant::routing

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

#include "midi/MemoryMidi.h"
#include "midi/MidiBytes.h"
#include "midi/RtMidiBackend.h"
#include "support/FakeLoop.h"

namespace kalvant::midi {
namespace {

using test::FakeLoop;

TEST(MidiBytes, ShortMessageLengthFollowsTheStatus) {
  const std::pair<int, int> cases[] = {{0x00, 0}, {0x7F, 0}, {0x90, 3}, {0x8F, 3}, {0xB2, 3},
                                       {0xC0, 2}, {0xCF, 2}, {0xD3, 2}, {0xE1, 3}, {0xA0, 3},
                                       {0xF0, 0}, {0xF7, 0}, {0xF1, 2}, {0xF2, 3}, {0xF3, 2},
                                       {0xF6, 1}, {0xF8, 1}, {0xFE, 1}, {0xFF, 1}};
  for (const auto& [status, length] : cases)
    EXPECT_EQ(shortMessageLength(static_cast<std::uint8_t>(status)), length) << std::hex << status;
}

// The numbers ALSA gives a client change from one session to the next; the
// name the settings keep must not.
TEST(AlsaNames, TheClientAndPortNumbersRtMidiAppendsAreLeftOut) {
  const std::pair<const char*, const char*> cases[] = {
      {"Roland A-49:Roland A-49 MIDI 1 20:0", "Roland A-49:Roland A-49 MIDI 1"},
      {"Midi Through:Midi Through Port-0 14:0", "Midi Through:Midi Through Port-0"},
      {"Keys:out 128:12", "Keys:out"},
      {"Keys:out", "Keys:out"},
      {"Keys:Port 2", "Keys:Port 2"},        // a number, but no client:port pair
      {"Keys:Port 1:2x", "Keys:Port 1:2x"},  // not only digits
      {"Keys:Port :0", "Keys:Port :0"},      // a number missing
      {"Keys:Port 20:", "Keys:Port 20:"},
      {"", ""},
  };
  for (const auto& [raw, stable] : cases) EXPECT_EQ(stableAlsaName(raw), stable) << raw;
}

class Ports : public ::testing::Test {
 protected:
  FakeLoop loop;
  MemoryMidiOutput out{{"Module"}, loop.post()};
  MemoryMidiInput in{{"Keyboard"}, loop.post()};
  std::vector<std::pair<int, std::string>> errors;
  Ports() {
    out.onError =
        in.onError = [this](int code, const std::string& text) { errors.emplace_back(code, text); };
  }
  void openBoth() {
    out.selectDevice(0);
    ASSERT_TRUE(out.open() && out.start());
    in.selectDevice(0);
    in.setFilter(254, true);
    ASSERT_TRUE(in.open() && in.start());
  }
  std::vector<InMessage> drain() {
    std::vector<InMessage> queued;
    for (; in.queueCount() > 0; in.dropHead()) queued.push_back(in.head());
    return queued;
  }
};

TEST_F(Ports, MessagesLeaveWithTheirRealLengthAndSysexOneAtATime) {
  out.sendShort(0x90, 60, 100);  // not open yet: nothing
  openBoth();
  // A data byte is not a message; 16-bit values are cut to bytes.
  const std::tuple<int, int, int> shorts[] = {{0x90, 60, 100}, {0xC1, 19, 0}, {0xD0, 64, 0},
                                              {0xF8, 0, 0},    {0x3C, 1, 2},  {0x1B0, 7, 300}};
  for (const auto& [status, data1, data2] : shorts) out.sendShort(status, data1, data2);
  // Two messages, then an unfinished one, which is not sent.
  out.sendSysex(std::string("\xF0\x41\x10\xF7\xF0\x7E\x7F\x09\x01\xF7\xF0\x41", 12));
  const std::vector<Bytes> expected = {{0x90, 60, 100},
                                       {0xC1, 19},
                                       {0xD0, 64},
                                       {0xF8},
                                       {0xB0, 7, 44},
                                       {0xF0, 0x41, 0x10, 0xF7},
                                       {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}};
  EXPECT_EQ(out.sent, expected);
  EXPECT_EQ(out.handOvers.size(), 1u);
}

TEST_F(Ports, OpeningAMissingDeviceFailsWithAnErrorEvent) {
  out.selectDevice(3);
  EXPECT_FALSE(out.open() || out.isOpen());
  EXPECT_TRUE(errors.empty());  // raised on the GUI thread, later
  loop.runPosted();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].first, kNoSuchDevice);
}

TEST_F(Ports, InputQueuesOnlyWhatAStartedPortReceives) {
  in.inject({0x90, 60, 100});  // not open: nothing
  openBoth();
  // Active sensing is filtered, sysex is not for the console.
  for (const Bytes& m : std::vector<Bytes>{{0xFE}, {0x90, 60, 100}, {0xC0, 5}, {0xF0, 0x7E, 0xF7}})
    in.inject(m);
  EXPECT_EQ(drain(), (std::vector<InMessage>{{0x90, 60, 100}, {0xC0, 5}}));
  in.inject({0x90, 61, 100});
  in.close();  // closing empties the queue
  EXPECT_EQ(std::pair(in.queueCount(), in.head()), std::pair(0, InMessage{}));
}

TEST_F(Ports, EveryMessageIsHandledOnceAndInOrderWhileTheHandlerPumpsEvents) {
  openBoth();
  std::vector<int> handled;
  int depth = 0, maxDepth = 0, calls = 0;
  in.onMessage = [&] {
    ++calls;
    maxDepth = std::max(maxDepth, ++depth);
    while (in.queueCount() >= 1) {
      loop.runPosted();  // the handler yields to the event loop once per message
      const InMessage m = in.head();
      handled.push_back(m.data1);
      if (m.data1 == 1) in.inject({0x90, 3, 1});  // arrives while draining
      if (m.data1 == 2) in.inject({0x90, 4, 1});
      in.dropHead();
    }
    --depth;
  };
  in.inject({0x90, 1, 1});
  in.inject({0x90, 2, 1});
  loop.runPosted();
  in.inject({0x90, 5, 1});
  loop.runPosted();
  EXPECT_EQ(handled, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(maxDepth, 1);
  EXPECT_LE(calls, 3);
}

TEST_F(Ports, EveryMessageOfEveryEventIsQueuedAndNothingElse) {
  const std::pair<std::vector<Bytes>, std::vector<InMessage>> cases[] = {
      {{{0x90, 60, 100, 0x80, 60, 64}}, {{0x90, 60, 100}, {0x80, 60, 64}}},
      {{{0x90, 60, 100, 62, 90, 60, 0}}, {{0x90, 60, 100}, {0x90, 62, 90}, {0x90, 60, 0}}},
      {{{0x91, 60, 100}, {60, 0}}, {{0x91, 60, 100}, {0x91, 60, 0}}},  // across events
      {{{60, 100}, {0xF7, 1}}, {}},  // no running status survives the clear before
      {{{0xC0, 5, 6}}, {{0xC0, 5, 0}, {0xC0, 6, 0}}},
      {{{0x90, 0xF8, 60, 0xFE, 100, 0xF8, 62, 0}},
       {{0xF8}, {0x90, 60, 100}, {0xF8}, {0x90, 62, 0}}},
      {{{0xF0, 0x41, 0x42}, {0x90, 60, 100}}, {{0x90, 60, 100}}},  // sysex without F7
      {{{0xF0, 0x41, 0x80, 60, 0}}, {{0x80, 60, 0}}},
      {{{0xF0, 0x7E, 0xF7, 0x90, 60, 100}}, {{0x90, 60, 100}}},
      {{{0xF0, 0x41, 0xF8, 0x42, 0xF7}}, {{0xF8}}},
      {{{0x90, 60, 100, 0xF0, 1, 0xF7, 60, 0}}, {{0x90, 60, 100}}},  // no running status after
      {{{0x90, 60, 100, 0xF3, 1, 60, 0, 0xF6}}, {{0x90, 60, 100}, {0xF3, 1}, {0xF6}}},
      {{{0x90, 60}, {62, 90}}, {{0x90, 62, 90}}}};  // a message cut off by its event's end
  openBoth();
  int row = 0;
  for (const auto& [events, expected] : cases) {
    for (const Bytes& event : events) in.inject(event);
    EXPECT_EQ(drain(), expected) << row++;
    in.close();  // a fresh start for the next case
    ASSERT_TRUE(in.open() && in.start());
  }
}

// The producer cannot take back what it queued: beyond the reserve even a
// release is dropped, and the queue keeps its head and its order.
TEST_F(Ports, AFullQueueDropsAnythingButAReleaseUntilTheReserveIsFull) {
  openBoth();
  for (std::size_t i = 0; i < MidiInput::kQueueLimit; ++i) in.inject({0x90, 60, 100});
  const std::uint64_t head = in.headId();
  in.inject({0xB0, 7, 100});                 // dropped
  in.inject({0x90, 61, 100, 0x80, 61, 64});  // the note dropped, its release kept
  for (std::size_t i = 1; i < MidiInput::kReleaseReserve; ++i) in.inject({0x90, 62, 0});
  EXPECT_EQ(in.queueCount(), static_cast<int>(MidiInput::kQueueCapacity));
  EXPECT_EQ(in.droppedCount(), 2u);
  for (int i = 0; i < 10; ++i) in.inject({0x80, 63, 64});
  EXPECT_EQ(in.droppedCount(), 12u);
  EXPECT_EQ(in.headId(), head);
  const std::vector<InMessage> queued = drain();
  EXPECT_EQ(std::ranges::count_if(queued, isRelease), int(MidiInput::kReleaseReserve));
  EXPECT_EQ(queued[MidiInput::kQueueLimit], (InMessage{0x80, 61, 64}));
  // Room again once the GUI thread has taken what was queued.
  in.inject({0xB0, 7, 1});
  EXPECT_EQ(drain(), (std::vector<InMessage>{{0xB0, 7, 1}}));
}

// The driver thread queues while the GUI thread takes messages and clears:
// what the GUI thread sees is always a run of consecutive messages, oldest
// first, and every message is queued or dropped by a clear, none doubled.
TEST_F(Ports, TheQueueKeepsOrderWhileTheProducerRuns) {
  openBoth();
  constexpr int kMessages = 200000;
  std::atomic<bool> done{false};
  std::thread producer([&] {
    for (int i = 0; i < kMessages; ++i) {
      in.enqueueFromDriver(std::array<std::uint8_t, 3>{0x90, std::uint8_t(i % 128), 1}.data(), 3);
      if (i % 64 == 0) std::this_thread::yield();
    }
    done = true;
  });
  // A full queue drops, and counts it before it queues the next one; the
  // count may also hold drops the GUI thread has not reached yet, so gaps
  // are checked against the drops only once the producer has finished.
  int last = -1, taken = 0, clears = 0, gaps = 0;
  for (int round = 0; !done || in.queueCount() > 0; ++round) {
    std::this_thread::yield();
    if (round % 100 == 99) {
      in.close(), ++clears;  // clears the queue
      ASSERT_TRUE(in.open() && in.start());
      last = -1;
    }
    while (in.queueCount() > 0) {
      const int value = in.head().data1;
      if (last >= 0 && value != (last + 1) % 128) ++gaps;
      last = value, ++taken;
      in.dropHead(in.headId());
    }
  }
  producer.join();
  EXPECT_GT(clears, 0);
  EXPECT_LE(std::uint64_t(gaps), in.droppedCount());
  EXPECT_LE(taken + in.droppedCount(), std::uint64_t(kMessages));
}

// Rechannels messages to channel 2; takes those with an even key.
struct EvenKeys : LiveRouter {
  std::vector<int> offered;
  bool take(int input, const InMessage& m, CycleOut& out) noexcept override {
    offered.push_back(m.data1);
    if (input != 1 || m.data1 % 2 != 0) return false;
    const std::uint8_t bytes[3] = {std::uint8_t((m.status & 0xF0) | 1), m.data1, m.data2};
    return out.send(bytes, 3);
  }
};

TEST_F(Ports, TheLiveRouterSeesMessagesOnlyWhileTheQueueIsEmpty) {
  struct Case {
    const char* name;
    bool router, cycle;
    std::vector<int> keys;  // played in order; 0: the GUI thread drains
    std::vector<int> offered, live, queued;
  };
  const Case cases[] = {
      {"taken skip the queue", true, true, {2, 4, 6}, {2, 4, 6}, {2, 4, 6}, {}},
      {"after one left all queue", true, true, {2, 3, 4, 5}, {2, 3}, {2}, {3, 4, 5}},
      {"until the queue is empty", true, true, {3, 4, 0, 6, 7}, {3, 6, 7}, {6}, {3, 4, 7}},
      {"no cycle: all queued", true, false, {2, 4}, {}, {}, {2, 4}},
      {"no router: all queued", false, true, {2, 4}, {}, {}, {2, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryMidiInput input{{"Keyboard"}, loop.post()};
    input.selectDevice(0);
    ASSERT_TRUE(input.open() && input.start());
    EvenKeys router;
    input.setLiveRouter(c.router ? &router : nullptr, 1);
    input.liveOut = c.cycle ? &out : nullptr;
    out.sent.clear(), out.liveSends = 0;
    out.selectDevice(0);
    if (!out.isOpen()) {
      ASSERT_TRUE(out.open());
    }
    std::vector<int> queued;
    for (int key : c.keys) {
      if (key != 0) input.inject({0x90, std::uint8_t(key), 100});
      for (; key == 0 && input.queueCount() > 0; input.dropHead())
        queued.push_back(input.head().data1);
    }
    for (; input.queueCount() > 0; input.dropHead()) queued.push_back(input.head().data1);
    std::vector<int> live;
    for (const Bytes& b : out.sent) {
      EXPECT_EQ(b[0], 0x91);
      live.push_back(b[1]);
    }
    EXPECT_EQ(router.offered, c.offered);
    EXPECT_EQ(live, c.live);
    EXPECT_EQ(out.liveSends, int(c.live.size()));
    EXPECT_EQ(queued, c.queued);
  }
}

}  // namespace
}  // namespace kalvant::midi

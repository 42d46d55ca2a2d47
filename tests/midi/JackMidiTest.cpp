// The console's ports on a real JACK server (the dummy driver): one client,
// messages both ways, devices that go away or are renamed while connected.
#include <gtest/gtest.h>
#include <jack/jack.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "harness/FrameClients.h"
#include "harness/JackClients.h"
#include "midi/RtMidiBackend.h"
#include "support/JackSupport.h"

namespace kalvant::midi {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;
using Byte = unsigned char;
using Names = std::vector<std::string>;

struct JackMidi : ::testing::Test {
  void SetUp() override {
    if (!std::getenv("JACK_DEFAULT_SERVER"))
      GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  }
};

MidiPort& portAt(PortSet& ports, int slot) {
  if (slot == 0) return *ports.input1;
  if (slot == 1) return *ports.input2;
  return *ports.output;
}

// Runs the GUI side until done() holds; false after 3 s.
template <class Done>
bool pumpUntil(test::RealTimeLoop& gui, Done done) {
  for (const auto end = std::chrono::steady_clock::now() + 3s; !done();) {
    if (std::chrono::steady_clock::now() > end) return false;
    gui.runPosted();
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

// Lets what JACK announced so far reach the GUI side.
void settle(test::RealTimeLoop& gui) {
  std::this_thread::sleep_for(50ms);
  gui.runPosted();
}

// A plain libjack client of the test's own, to look at the server's graph
// and to own a port it renames.
class RawClient {
 public:
  explicit RawClient(const char* name) : c_(jack_client_open(name, JackNoStartServer, nullptr)) {
    // An active client without a process callback stalls a synchronous
    // server's graph.
    if (!c_) return;
    jack_set_process_callback(
        c_, [](jack_nframes_t, void*) { return 0; }, nullptr);
    jack_activate(c_);
  }
  ~RawClient() {
    if (c_) jack_client_close(c_);
  }
  jack_client_t* get() const { return c_; }
  Names ports(const char* pattern, const char* type = nullptr, unsigned long flags = 0) const {
    Names names;
    const char** found = jack_get_ports(c_, pattern, type, flags);
    for (const char** p = found; p && *p; ++p) names.emplace_back(*p);
    if (found) jack_free(found);
    std::sort(names.begin(), names.end());
    return names;
  }
  bool hasClient(const char* name) const {
    char* uuid = jack_get_uuid_for_client_name(c_, name);
    if (uuid) jack_free(uuid);
    return uuid != nullptr;
  }

 private:
  jack_client_t* c_;
};

TEST_F(JackMidi, OneClientWithThreePortsThatLivesAsLongAsTheLastPortObject) {
  RawClient probe("probe");
  ASSERT_TRUE(probe.get());
  test::RealTimeLoop gui;
  const Names ours = {"kalvant:in1", "kalvant:in2", "kalvant:out", "kalvant:out_L",
                      "kalvant:out_R"};
  // The console destroys its ports in any order.
  for (const std::vector<int>& order : {std::vector{2, 0, 1}, {0, 2, 1}, {1, 0, 2}}) {
    SCOPED_TRACE(testing::PrintToString(order));
    PortSet ports = createRtMidiPorts(Api::Jack, gui.post());
    EXPECT_EQ(probe.ports("^kalvant"), ours);
    EXPECT_TRUE(probe.hasClient("kalvant"));
    for (const char* old : {"kalvant-clock", "kalvant-in1", "kalvant-in2", "kalvant-out"})
      EXPECT_FALSE(probe.hasClient(old)) << old;
    for (std::size_t k = 0; k < order.size(); ++k) {
      if (order[k] == 0) ports.input1.reset();
      if (order[k] == 1) ports.input2.reset();
      if (order[k] == 2) ports.output.reset();
      EXPECT_EQ(probe.ports("^kalvant"), k + 1 < order.size() ? ours : Names{});
    }
    EXPECT_FALSE(probe.hasClient("kalvant"));
  }
}

TEST_F(JackMidi, ASecondConsoleUnderAnotherNameLeavesOutOnlyItsOwnPorts) {
  RawClient probe("probe");
  test::RealTimeLoop gui;
  PortSet first = createRtMidiPorts(Api::Jack, gui.post());
  PortSet second = createRtMidiPorts(Api::Jack, gui.post());
  const Names renamed = probe.ports("^kalvant-");
  ASSERT_EQ(renamed.size(), 5u);
  const std::string secondOut = renamed[2];  // "kalvant-01:out" or the like
  EXPECT_EQ(test::positionOf(*second.input1, secondOut), -1);
  EXPECT_GE(test::positionOf(*second.input1, "kalvant:out"), 0);
  EXPECT_GE(test::positionOf(*first.input1, secondOut), 0);
  EXPECT_EQ(test::positionOf(*first.input1, "kalvant:out"), -1);
}

TEST_F(JackMidi, ConsolePortsTalkToAnotherJackClient) {
  ASSERT_EQ(detectApi() == Api::Alsa ? Api::Jack : detectApi(), Api::Jack)
      << "JACK server not answering";

  e2e::Recorder peerIn("peer-in");
  e2e::Keyboard peerOut("peer-out");
  test::RealTimeLoop gui;
  std::vector<std::string> errors;
  {
    PortSet ports = createRtMidiPorts(Api::Jack, gui.post());
    ports.output->onError =
        ports.input1->onError = [&](int, const std::string& t) { errors.push_back(t); };
    EXPECT_EQ(test::positionOf(*ports.output, "kalvant"), -1) << "own port listed";
    EXPECT_EQ(test::positionOf(*ports.input1, "kalvant"), -1) << "own port listed";
    const int outIndex = test::positionOf(*ports.output, "peer-in");
    const int inIndex = test::positionOf(*ports.input1, "peer-out");
    ASSERT_TRUE(outIndex >= 0 && inIndex >= 0);
    ports.output->selectDevice(outIndex);
    ASSERT_TRUE(ports.output->open() && ports.output->start());
    ports.input1->selectDevice(inIndex);
    ports.input1->setFilter(254, true);
    ASSERT_TRUE(ports.input1->open() && ports.input1->start());
    const Bytes a = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    const Bytes b = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x11, 0x02, 0x00, 0x2D, 0xF7};
    const Bytes c = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x30, 0x03, 0x0C, 0xF7};
    std::string entry;
    for (const Bytes* m : {&a, &b, &c}) entry.append(m->begin(), m->end());
    ports.output->sendSysex(entry);
    ports.output->sendShort(0xC0, 19, 0);
    peerIn.waitForCount(4, 3s);
    std::this_thread::sleep_for(50ms);  // anything extra would show up now
    std::vector<Bytes> atPeer;
    for (const e2e::Stamped& m : peerIn.take()) atPeer.push_back(m.bytes);
    EXPECT_EQ(atPeer, (std::vector<Bytes>{a, b, c, {0xC0, 19}}));
    std::vector<InMessage> handled;
    ports.input1->onMessage = [&] {
      while (ports.input1->queueCount() >= 1) {
        handled.push_back(ports.input1->head());
        ports.input1->dropHead();
      }
    };
    peerOut.play({0xFE});                    // active sensing, filtered out
    peerOut.play({0xF0, 0x41, 0x10, 0x42});  // a sysex that never ends
    peerOut.play({0x90, 60, 100, 62, 90});   // two notes, the second in running status
    peerOut.play({0x80, 60, 64, 0x80, 62, 64});
    const std::vector<InMessage> expected{
        {0x90, 60, 100}, {0x90, 62, 90}, {0x80, 60, 64}, {0x80, 62, 64}};
    pumpUntil(gui, [&] { return handled.size() >= expected.size(); });
    EXPECT_EQ(handled, expected);
    ports.input1->close();
    // Half a megabyte, sent at once and closed right after: eight times
    // what the ring to JACK's thread holds and more than a dozen cycles'
    // buffers. Nothing is lost, nothing is cut, nothing changes places.
    std::vector<Bytes> many;
    std::vector<std::string> entries;
    for (int i = 0; i < 2000; ++i) {
      Bytes big(250, 0x55);
      big.front() = 0xF0, big[1] = i % 128, big[2] = i / 128, big.back() = 0xF7;
      many.push_back(big);
      entries.emplace_back(big.begin(), big.end());
    }
    for (const std::string& e : entries) ports.output->sendSysex(e);
    ports.output->close();
    peerIn.waitForCount(many.size(), 3s);
    atPeer.clear();
    for (const e2e::Stamped& m : peerIn.take()) atPeer.push_back(m.bytes);
    EXPECT_EQ(atPeer.size(), many.size());
    EXPECT_TRUE(atPeer == many);
  }
  gui.runPosted();
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// A peer for each of the console's ports: a keyboard for an input, a module
// for the output.
std::shared_ptr<void> peerFor(int slot, const std::string& client) {
  if (slot == 2) return std::make_shared<e2e::Recorder>(client);
  return std::make_shared<e2e::Keyboard>(client);
}

TEST_F(JackMidi, DevicesThatComeAndGoAreAnnouncedAndAGoneDeviceIsNoLongerConnected) {
  test::RealTimeLoop gui;
  PortSet ports = createRtMidiPorts(Api::Jack, gui.post());
  for (int slot : {0, 1, 2}) {
    SCOPED_TRACE(slot);
    MidiPort& port = portAt(ports, slot);
    EXPECT_TRUE(port.announcesChanges());
    settle(gui);
    int changes = 0;
    port.onDevicesChanged = [&] { ++changes; };
    const std::string peerPort = slot == 2 ? "gone:in" : "gone:out";
    auto peer = peerFor(slot, "gone");
    ASSERT_TRUE(pumpUntil(gui, [&] { return changes > 0; })) << "a new device is not announced";
    port.selectDevice(test::positionOf(port, peerPort));
    ASSERT_TRUE(port.open());
    EXPECT_EQ(port.connectedName(), peerPort);
    settle(gui);  // the connection's own notice
    changes = 0;
    peer.reset();
    EXPECT_TRUE(pumpUntil(gui, [&] { return changes > 0; })) << "a gone device is not announced";
    EXPECT_EQ(port.connectedName(), "");
    EXPECT_EQ(test::positionOf(port, peerPort), -1);
    port.close();
    port.onDevicesChanged = nullptr;
  }
}

TEST_F(JackMidi, ADeviceRenamedWhileConnectedShowsItsNewNameAndStaysConnected) {
  RawClient renamer("renamer");
  ASSERT_TRUE(renamer.get());
  test::RealTimeLoop gui;
  PortSet ports = createRtMidiPorts(Api::Jack, gui.post());
  for (int slot : {0, 2}) {
    SCOPED_TRACE(slot);
    MidiPort& port = portAt(ports, slot);
    const std::string before = "before" + std::to_string(slot),
                      after = "after" + std::to_string(slot);
    jack_port_t* device = jack_port_register(renamer.get(), before.c_str(), JACK_DEFAULT_MIDI_TYPE,
                                             slot == 2 ? JackPortIsInput : JackPortIsOutput, 0);
    ASSERT_TRUE(device);
    port.selectDevice(test::positionOf(port, "renamer:" + before));
    ASSERT_TRUE(port.open());
    settle(gui);
    int changes = 0;
    port.onDevicesChanged = [&] { ++changes; };
    ASSERT_EQ(jack_port_rename(renamer.get(), device, after.c_str()), 0);
    EXPECT_TRUE(pumpUntil(gui, [&] { return changes > 0; })) << "a rename is not announced";
    EXPECT_EQ(port.connectedName(), "renamer:" + after);
    EXPECT_EQ(jack_port_connected(device), 1);
    port.close();
    settle(gui);  // a peer sees the graph as of the last cycle
    EXPECT_EQ(jack_port_connected(device), 0) << "closing left the renamed device connected";
    port.onDevicesChanged = nullptr;
  }
}

Bytes bytesOf(const e2e::Arrived& m) {
  return {m.bytes.begin(), m.bytes.begin() + m.size};
}

// Takes every message and moves it to channel 2.
struct Rechannel : LiveRouter {
  std::atomic<int> taken{0};
  bool take(int, const InMessage& m, CycleOut& out) noexcept override {
    taken.fetch_add(1);
    const std::uint8_t bytes[3] = {std::uint8_t((m.status & 0xF0) | 1), m.data1, m.data2};
    return out.send(bytes, shortMessageLengthOf(m.status));
  }
  static std::size_t shortMessageLengthOf(std::uint8_t status) {
    return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 2 : 3;
  }
};

// The console between frame-clock clients, in1 routed live.
struct LiveRig {
  test::RealTimeLoop gui;
  e2e::FrameSource source{"src"};
  e2e::FrameSink sink{"sink", 4096};
  PortSet ports = createRtMidiPorts(Api::Jack, gui.post());
  Rechannel router;
  // Plays `messages` together at `frame` of the next cycle; returns the frame they left at.
  e2e::Frame play(const std::vector<std::array<std::uint8_t, 3>>& messages, e2e::Frame frame) {
    std::vector<e2e::Planned> plan;
    for (const auto& m : messages) plan.push_back({frame, m});
    EXPECT_TRUE(source.play(plan, 2s));
    return source.sent().at(0);
  }
  std::vector<e2e::Arrived> take() { return sink.takeWhenQuiet(20ms, 3s); }
  bool open() {
    if (!source.ok() || !sink.ok()) return false;
    ports.input1->setLiveRouter(&router, 0);
    ports.input1->selectDevice(test::positionOf(*ports.input1, "src:out"));
    ports.output->selectDevice(test::positionOf(*ports.output, "sink:in"));
    return ports.input1->open() && ports.input1->start() && ports.output->open();
  }
};

TEST_F(JackMidi, ALiveRoutedMessageLeavesInTheCycleAndAtTheFrameItCameIn) {
  LiveRig rig;
  ASSERT_TRUE(rig.open());
  constexpr int kRuns = 200;
  std::vector<e2e::Frame> sentAt;
  for (int i = 0; i < kRuns; ++i)
    sentAt.push_back(rig.play({{0x90, Byte(36 + i % 60), 100}}, e2e::Frame(i * 7 % 64)));
  const std::vector<e2e::Arrived> got = rig.take();
  ASSERT_EQ(got.size(), std::size_t(kRuns));
  int inCycle = 0;
  for (int i = 0; i < kRuns; ++i) {
    EXPECT_EQ(bytesOf(got[i]), (Bytes{0x91, Byte(36 + i % 60), 100})) << "run " << i;
    inCycle += got[i].at == sentAt[i];
  }
  EXPECT_EQ(inCycle, kRuns);
  EXPECT_EQ(rig.router.taken.load(), kRuns);
  EXPECT_EQ(rig.ports.input1->queueCount(), 0);
}

// A burst leaves spaced by the gap (100 us: 5 frames at 48 kHz), the first
// message at its own frame; what no longer fits in the cycle leaves in the
// next one, in order and still spaced.
TEST_F(JackMidi, ABurstIsSpacedByTheMinimumGapAndCarriedOverInOrder) {
  struct Case {
    int messages;
    e2e::Frame frame;
    int gapMicros;
    e2e::Frame spacing;
    bool oneCycle;
  };
  const Case cases[] = {
      {4, 3, 100, 5, true}, {20, 40, 100, 5, false}, {3, 10, 0, 0, true}, {2, 60, 21, 2, true}};
  LiveRig rig;
  ASSERT_TRUE(rig.open());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.messages);
    rig.ports.output->setMinimumGap(std::chrono::microseconds(c.gapMicros));
    std::this_thread::sleep_for(10ms);  // a quiet spell
    std::vector<std::array<std::uint8_t, 3>> burst;
    for (int k = 0; k < c.messages; ++k) burst.push_back({0x90, std::uint8_t(k), 100});
    const e2e::Frame sentAt = rig.play(burst, c.frame);
    const std::vector<e2e::Arrived> got = rig.take();
    ASSERT_EQ(got.size(), burst.size());
    EXPECT_EQ(got.front().at, sentAt);
    for (int k = 0; k < c.messages; ++k) {
      EXPECT_EQ(bytesOf(got[k]), (Bytes{0x91, std::uint8_t(k), 100})) << k;
      if (k == 0) continue;
      EXPECT_EQ(got[k].at - got[k - 1].at, c.spacing) << k;
    }
    const e2e::Frame period = rig.source.period();
    EXPECT_EQ(e2e::periodsBetween(rig.source.start(), period, got.front().at, got.back().at) == 0,
              c.oneCycle);
  }
}

// Spaced by the gap, what the console sent takes cycles to leave; a live
// message that comes meanwhile waits behind it and never overtakes it.
TEST_F(JackMidi, ALiveMessageLeavesAfterWhatTheConsoleSentBeforeIt) {
  LiveRig rig;
  ASSERT_TRUE(rig.open());
  rig.ports.output->setMinimumGap(100us);  // 13 messages a cycle
  constexpr int kSent = 100;
  for (int i = 0; i < kSent; ++i) rig.ports.output->sendShort(0xB0, 7, i);
  rig.play({{0x90, 60, 100}}, 0);
  const std::vector<e2e::Arrived> got = rig.take();
  ASSERT_EQ(got.size(), std::size_t(kSent + 1));
  for (int i = 0; i < kSent; ++i) ASSERT_EQ(bytesOf(got[i]), (Bytes{0xB0, 7, Byte(i)}));
  EXPECT_EQ(bytesOf(got[kSent]), (Bytes{0x91, 60, 100}));
  EXPECT_GE(got[kSent].at - got[kSent - 1].at, 5u);
}

// Records on the process thread what it plays and how often it renders.
struct FakeSynth : CycleSynth {
  std::array<Bytes, 64> played;
  std::atomic<std::size_t> count{0};
  std::atomic<int> renders{0};
  void play(const std::uint8_t* data, std::size_t size) noexcept override {
    const std::size_t n = count.load();
    if (n < played.size()) played[n].assign(data, data + size), count.store(n + 1);
  }
  void render(float* left, float* right, std::uint32_t frames) noexcept override {
    for (std::uint32_t i = 0; i < frames; ++i) left[i] = right[i] = 0.25f;
    renders.fetch_add(1);
  }
  std::vector<Bytes> heard() const { return {played.begin(), played.begin() + count.load()}; }
};

TEST_F(JackMidi, AnAttachedSynthesizerHearsEverythingTheOutputWouldCarryAndRendersEachCycle) {
  LiveRig rig;
  ASSERT_TRUE(rig.open());
  RawClient probe("probe");
  MidiOutput& out = *rig.ports.output;
  FakeSynth synth;
  const std::uint8_t volume[3] = {0xB0, 7, 100};
  out.sendToCycleSynth(volume, 3);    // no synthesizer yet: dropped
  std::this_thread::sleep_for(10ms);  // taken by a cycle
  ASSERT_TRUE(out.attachCycleSynth(&synth));
  std::this_thread::sleep_for(10ms);  // a peer sees the graph as of the last cycle
  EXPECT_EQ(out.cycleSampleRate(), 48000.0);
  const Names playback = probe.ports("^system:playback_", JACK_DEFAULT_AUDIO_TYPE);
  if (playback.size() >= 2) {
    for (int i = 0; i < 2; ++i) {
      const std::string ours = std::string("kalvant:") + (i == 0 ? "out_L" : "out_R");
      EXPECT_TRUE(jack_port_connected_to(jack_port_by_name(probe.get(), ours.c_str()),
                                         playback[static_cast<std::size_t>(i)].c_str()))
          << ours;
    }
  }
  out.sendShort(0xC0, 5, 0);
  out.sendToCycleSynth(volume, 3);
  rig.play({{0x90, 60, 100}}, 10);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(synth.heard(), (std::vector<Bytes>{{0xC0, 5}, {0xB0, 7, 100}, {0x91, 60, 100}}));
  EXPECT_EQ(rig.sink.count(), 0u) << "the out port carried what the synthesizer plays";
  // 50 ms are some 37 cycles of 64 frames.
  EXPECT_GE(synth.renders.load(), 20);
  EXPECT_FALSE(out.attachCycleSynth(nullptr));
  const int renders = synth.renders.load();
  out.sendShort(0xC0, 6, 0);
  out.sendToCycleSynth(volume, 3);
  const std::vector<e2e::Arrived> got = rig.take();
  EXPECT_EQ(synth.renders.load(), renders);
  EXPECT_EQ(synth.count.load(), 3u);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(bytesOf(got[0]), (Bytes{0xC0, 6}));
}

}  // namespace
}  // namespace kalvant::midi

// The console's ports on a real JACK server (the dummy driver): one client,
// messages both ways, devices that go away or are renamed while connected.
#include <gtest/gtest.h>
#include <jack/jack.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "harness/JackClients.h"
#include "midi/RtMidiBackend.h"
#include "support/JackSupport.h"

namespace kalvant::midi {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;
using Names = std::vector<std::string>;

#define SKIP_WITHOUT_JACK()                \
  if (!std::getenv("JACK_DEFAULT_SERVER")) \
  GTEST_SKIP() << "no JACK test server (run through scripts/test)"

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
  Names ports(const char* pattern) const {
    Names names;
    const char** found = jack_get_ports(c_, pattern, nullptr, 0);
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

TEST(JackMidi, OneClientWithThreePortsThatLivesAsLongAsTheLastPortObject) {
  SKIP_WITHOUT_JACK();
  RawClient probe("probe");
  ASSERT_TRUE(probe.get());
  test::RealTimeLoop gui;
  const Names ours = {"kalvant:in1", "kalvant:in2", "kalvant:out"};
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

TEST(JackMidi, ASecondConsoleUnderAnotherNameLeavesOutOnlyItsOwnPorts) {
  SKIP_WITHOUT_JACK();
  RawClient probe("probe");
  test::RealTimeLoop gui;
  PortSet first = createRtMidiPorts(Api::Jack, gui.post());
  PortSet second = createRtMidiPorts(Api::Jack, gui.post());
  const Names renamed = probe.ports("^kalvant-");
  ASSERT_EQ(renamed.size(), 3u);
  const std::string secondOut = renamed[2];  // "kalvant-01:out" or the like
  EXPECT_EQ(test::positionOf(*second.input1, secondOut), -1);
  EXPECT_GE(test::positionOf(*second.input1, "kalvant:out"), 0);
  EXPECT_GE(test::positionOf(*first.input1, secondOut), 0);
  EXPECT_EQ(test::positionOf(*first.input1, "kalvant:out"), -1);
}

TEST(JackMidi, ConsolePortsTalkToAnotherJackClient) {
  SKIP_WITHOUT_JACK();
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

TEST(JackMidi, DevicesThatComeAndGoAreAnnouncedAndAGoneDeviceIsNoLongerConnected) {
  SKIP_WITHOUT_JACK();
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

TEST(JackMidi, ADeviceRenamedWhileConnectedShowsItsNewNameAndStaysConnected) {
  SKIP_WITHOUT_JACK();
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

}  // namespace
}  // namespace kalvant::midi

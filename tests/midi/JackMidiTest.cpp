#include <gtest/gtest.h>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "harness/JackClients.h"
#include "midi/RtMidiBackend.h"
#include "support/JackSupport.h"

namespace kalvant::midi {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

int indexOf(MidiPort& port, const std::string& part) {
  for (int i = 0; i < port.deviceCount(); ++i) {
    port.selectDevice(i);
    if (port.deviceName().find(part) != std::string::npos) return i;
  }
  return -1;
}

TEST(JackMidi, ConsolePortsTalkToAnotherJackClient) {
  if (!std::getenv("JACK_DEFAULT_SERVER"))
    GTEST_SKIP() << "no JACK test server (run through scripts/test)";
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
    EXPECT_EQ(indexOf(*ports.output, "kalvant"), -1) << "own port listed";
    EXPECT_EQ(indexOf(*ports.input1, "kalvant"), -1) << "own port listed";
    const int outIndex = indexOf(*ports.output, "peer-in");
    const int inIndex = indexOf(*ports.input1, "peer-out");
    ASSERT_TRUE(outIndex >= 0 && inIndex >= 0);
    ports.output->selectDevice(outIndex);
    ASSERT_TRUE(ports.output->open() && ports.output->start());
    ports.input1->selectDevice(inIndex);
    ports.input1->setFilter(254, true);
    ASSERT_TRUE(ports.input1->open() && ports.input1->start());
    std::this_thread::sleep_for(50ms);  // let JACK connect the ports
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
    // Twice what the ring buffer to JACK's thread holds: nothing is lost.
    Bytes big(100, 0x55);
    big.front() = 0xF0;
    big.back() = 0xF7;
    for (int i = 0; i < 320; ++i) {
      big[1] = static_cast<unsigned char>(i % 128);
      ports.output->sendSysex(std::string(big.begin(), big.end()));
    }
    EXPECT_TRUE(peerIn.waitForCount(320, 3s)) << peerIn.count();
    peerIn.take();
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
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (handled.size() < expected.size() && std::chrono::steady_clock::now() < deadline) {
      gui.runPosted();
      std::this_thread::sleep_for(2ms);
    }
    EXPECT_EQ(handled, expected);
    ports.input1->close();
    ports.output->close();
  }
  gui.runPosted();
  EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace kalvant::midi

// The JACK server stops under open ports and starts again. Its own program:
// it points JACK_DEFAULT_SERVER at a server of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include <unistd.h>

#include "harness/JackClients.h"
#include "midi/RtMidiBackend.h"
#include "support/JackSupport.h"
#include "support/OwnJackServer.h"

namespace kalvant::midi {
namespace {

using namespace std::chrono_literals;

// Runs the GUI side, and poll() once in a while as the console does, until
// done() holds; false after 5 s.
template <class Done>
bool pumpUntil(test::RealTimeLoop& gui, MidiPort& port, Done done) {
  for (const auto end = std::chrono::steady_clock::now() + 5s; !done();) {
    if (std::chrono::steady_clock::now() > end) return false;
    port.poll();
    gui.runPosted();
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// Opens an output on `module` and an input on `keys` by their list
// positions, and checks that a note goes each way.
void openAndPlay(PortSet& ports, test::RealTimeLoop& gui, e2e::Recorder& module,
                 e2e::Keyboard& keys) {
  ports.output->selectDevice(test::positionOf(*ports.output, module.portName()));
  ASSERT_TRUE(ports.output->open() && ports.output->start());
  ports.input1->selectDevice(test::positionOf(*ports.input1, keys.portName()));
  ASSERT_TRUE(ports.input1->open() && ports.input1->start());
  ports.output->sendShort(0x90, 60, 100);
  EXPECT_TRUE(module.waitForCount(1, 3s));
  keys.play({0x90, 61, 90});
  EXPECT_TRUE(pumpUntil(gui, *ports.output, [&] { return ports.input1->queueCount() == 1; }));
  EXPECT_EQ(ports.input1->head(), (InMessage{0x90, 61, 90}));
  ports.input1->dropHead();
}

TEST(JackServerStop, IsReportedOnceLeavesThePortsHarmlessAndPollReconnects) {
  if (!std::getenv("JACK_DEFAULT_SERVER"))
    GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  test::OwnJackServer server("kalvant-stop");
  ASSERT_TRUE(server.usable());

  test::RealTimeLoop gui;
  std::vector<int> codes;
  int changes = 0;
  {
    PortSet ports = createRtMidiPorts(Api::Jack, gui.post());
    ports.output->onError = [&](int code, const std::string& text) {
      codes.push_back(code);
      if (code == kSystemStopped) {
        EXPECT_NE(text.find("JACK server has stopped"), std::string::npos) << text;
      }
    };
    ports.input2->onDevicesChanged = [&] { ++changes; };
    {
      e2e::Recorder module("module");
      e2e::Keyboard keys("keys");
      openAndPlay(ports, gui, module, keys);
    }
    server.stop();
    EXPECT_TRUE(pumpUntil(gui, *ports.output, [&] { return !codes.empty(); }));
    EXPECT_EQ(codes, std::vector<int>{kSystemStopped});

    // Far more than the ring buffer holds: a send that waited would hang.
    const auto sends = std::async(std::launch::async, [&] {
      const std::string sysex("\xF0\x41\x10\x42\x12\x40\x00\x7F\x00\x41\xF7", 11);
      for (int i = 0; i < 5000; ++i) {
        ports.output->sendShort(0x90, 60, 100);
        ports.output->sendSysex(sysex);
      }
      EXPECT_EQ(ports.output->deviceCount() + ports.input1->deviceCount(), 0);
      EXPECT_EQ(ports.input1->connectedName(), "");
      ports.output->poll();   // no server answers: nothing happens
      ports.output->close();  // the input stays open across the restart
    });
    if (sends.wait_for(2s) != std::future_status::ready) {
      ADD_FAILURE() << "a stopped JACK server hangs the ports";
      std::_Exit(1);  // the sending thread cannot be stopped
    }
    gui.runPosted();
    EXPECT_EQ(codes, std::vector<int>{kSystemStopped});

    ASSERT_TRUE(server.start());
    changes = 0;
    EXPECT_TRUE(pumpUntil(gui, *ports.output, [&] { return codes.size() == 2 && changes > 0; }));
    EXPECT_EQ(codes, (std::vector<int>{kSystemStopped, kSystemBack}));
    EXPECT_FALSE(ports.input1->isOpen()) << "a connection of the old server counts as open";
    e2e::Recorder module("module");
    e2e::Keyboard keys("keys");
    openAndPlay(ports, gui, module, keys);
    // Left open for the destructors.
  }
  gui.runPosted();
  EXPECT_EQ(codes, (std::vector<int>{kSystemStopped, kSystemBack}));
}

}  // namespace
}  // namespace kalvant::midi

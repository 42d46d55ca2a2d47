// Its own program: the port layer keeps one JACK clock per process.
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

namespace kalvant::midi {
namespace {

using namespace std::chrono_literals;

bool jackServer(const char* command, const std::string& name) {
  const std::string line = std::string(KALVANT_SCRIPTS_DIR "/jack-server ") + command + " " + name;
  return std::system(line.c_str()) == 0;
}

TEST(JackServerStop, IsReportedOnceAndLeavesTheOutputHarmless) {
  if (!std::getenv("JACK_DEFAULT_SERVER"))
    GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  const std::string name = "kalvant-stop-" + std::to_string(::getpid());
  ASSERT_TRUE(jackServer("start", name));
  setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);

  test::RealTimeLoop gui;
  std::vector<std::string> errors;
  {
    auto module = std::make_unique<e2e::Recorder>("module");
    PortSet ports = createRtMidiPorts(Api::Jack, gui.post());
    ports.output->onError = [&](int, const std::string& t) { errors.push_back(t); };
    ports.output->selectDevice(e2e::sinkPosition(module->portName()));
    ASSERT_TRUE(ports.output->open() && ports.output->start());
    e2e::Keyboard keys("keys");
    ports.input1->selectDevice(e2e::sourcePosition(keys.portName()));
    ASSERT_TRUE(ports.input1->open() && ports.input1->start());
    ports.output->sendShort(0x90, 60, 100);
    ASSERT_TRUE(module->waitForCount(1, 3s));
    module.reset();

    jackServer("stop", name);
    for (auto deadline = std::chrono::steady_clock::now() + 5s;
         errors.empty() && std::chrono::steady_clock::now() < deadline;)
      gui.waitForEvents();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("JACK server has stopped"), std::string::npos) << errors[0];

    // Far more than the ring buffer holds: a send that waited would hang.
    const auto sends = std::async(std::launch::async, [&] {
      const std::string sysex("\xF0\x41\x10\x42\x12\x40\x00\x7F\x00\x41\xF7", 11);
      for (int i = 0; i < 1000; ++i) {
        ports.output->sendShort(0x90, 60, 100);
        ports.output->sendSysex(sysex);
      }
      ports.output->close();
      ports.input1->close();
    });
    if (sends.wait_for(2s) != std::future_status::ready) {
      ADD_FAILURE() << "sending to a stopped JACK server hangs";
      std::_Exit(1);  // the sending thread cannot be stopped
    }
  }
  gui.runPosted();
  EXPECT_EQ(errors.size(), 1u);
  jackServer("stop", name);  // leaves no files behind in /dev/shm
}

}  // namespace
}  // namespace kalvant::midi

// The built-in synthesizer plays through a running JACK server (the dummy
// driver from scripts/jack-server; JACK_DEFAULT_SERVER names it): another
// JACK client hears the note the console sends. Skips without a server.

#include <gtest/gtest.h>
#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <thread>

#include "midi/MemoryMidi.h"
#include "synth/BuiltInSynth.h"

namespace kalvant::synth {
namespace {

using namespace std::chrono_literals;

// A JACK client with one input that keeps the loudest sample it heard.
class Listener {
 public:
  Listener() {
    jack_status_t status{};
    client_ = jack_client_open("kalvant-synth-listener", JackNoStartServer, &status);
    if (!client_) return;
    port_ = jack_port_register(client_, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client_, &Listener::process, this);
    jack_activate(client_);
  }
  ~Listener() {
    if (!client_) return;
    jack_deactivate(client_);
    jack_client_close(client_);
  }
  bool ok() const { return client_ && port_; }
  // Connects the first output port whose name starts with `client`.
  bool listenTo(const std::string& client) {
    const char** ports =
        jack_get_ports(client_, (client + ":").c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    if (!ports || !ports[0]) return false;
    const bool ok = jack_connect(client_, ports[0], jack_port_name(port_)) == 0;
    jack_free(ports);
    return ok;
  }
  float peak() const { return peak_.load(); }
  void clear() { peak_ = 0; }

 private:
  static int process(jack_nframes_t n, void* self) {
    auto* l = static_cast<Listener*>(self);
    const auto* in = static_cast<const float*>(jack_port_get_buffer(l->port_, n));
    float p = l->peak_.load();
    for (jack_nframes_t i = 0; i < n; ++i) p = std::max(p, std::fabs(in[i]));
    l->peak_.store(p);
    return 0;
  }
  jack_client_t* client_ = nullptr;
  jack_port_t* port_ = nullptr;
  std::atomic<float> peak_{0};
};

// Waits (sleeping) until the listener hears something or three seconds pass.
bool heard(const Listener& l) {
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (l.peak() > 1e-3f) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

TEST(JackSynth, OpensWithTheJackDriverAndPlays) {
  if (!std::getenv("JACK_DEFAULT_SERVER"))
    GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  if (!std::filesystem::exists("/usr/share/sounds/sf2/TimGM6mb.sf2"))
    GTEST_SKIP() << "no soundfont";
  Listener listener;
  ASSERT_TRUE(listener.ok()) << "JACK server not answering";

  std::deque<std::function<void()>> gui;
  midi::Post post = [&gui](std::function<void()> fn) { gui.push_back(std::move(fn)); };
  const std::string dir = std::filesystem::temp_directory_path() / "kalvant-jack-synth";
  std::filesystem::create_directories(dir);
  std::string error;
  ASSERT_TRUE(saveSynthSettings(dir, {"jack", ""}, error)) << error;

  std::vector<std::string> errors;
  {
    auto out = withBuiltInSynth(
        std::make_unique<midi::MemoryMidiOutput>(std::vector<std::string>{}, post), dir, post);
    out->onError = [&](int, const std::string& t) { errors.push_back(t); };
    out->selectDevice(0);
    ASSERT_EQ(out->deviceName(), kBuiltInSynthName);
    ASSERT_TRUE(out->open() && out->start());
    while (!gui.empty()) {
      gui.front()();
      gui.pop_front();
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(static_cast<BuiltInSynthOutput&>(*out).audioDriver(), "jack");
    ASSERT_TRUE(listener.listenTo("kalvant-synth"));

    out->sendShort(0xC0, 19, 0);
    out->sendShort(0x90, 60, 100);
    EXPECT_TRUE(heard(listener)) << "no sound reached the listener";
    out->sendShort(0x80, 60, 0);
    out->close();
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kalvant::synth

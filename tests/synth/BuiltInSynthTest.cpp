// The built-in synthesizer as the console's output device.

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
#include "synth/FluidTarget.h"
#include "synth/GsModule.h"

namespace kalvant::synth {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  std::string path = [] {
    std::string t = (fs::temp_directory_path() / "kalvant-synth-XXXXXX").string();
    return std::string(mkdtemp(t.data()));
  }();
  ~TempDir() { fs::remove_all(path); }
};
std::string str(const Bytes& b) {
  return std::string(b.begin(), b.end());
}
const Bytes kLevel5A = makeDataSet(gsAddress(0x40, 0x11, 0x19), {0x5A});

// The built-in synthesizer over two hardware outputs; the test pumps the GUI thread.
struct Fixture {
  std::deque<std::function<void()>> gui;
  TempDir dir;
  midi::MemoryMidiOutput* hardware = nullptr;
  std::unique_ptr<midi::MidiOutput> out;
  std::vector<std::string> errors;
  explicit Fixture(std::vector<std::string> devices = {"Hardware A", "Hardware B"}) {
    const midi::Post post = [this](std::function<void()> fn) { gui.push_back(std::move(fn)); };
    auto system = std::make_unique<midi::MemoryMidiOutput>(devices, post);
    hardware = system.get();
    out = withBuiltInSynth(std::move(system), dir.path, post);
    out->onError = [this](int, const std::string& text) { errors.push_back(text); };
  }
  BuiltInSynthOutput& builtIn() { return static_cast<BuiltInSynthOutput&>(*out); }
  void start(int device, const SynthSettings* settings = nullptr) {
    std::string error;
    ASSERT_TRUE(!settings || saveSynthSettings(dir.path, *settings, error)) << error;
    out->selectDevice(device);
    ASSERT_TRUE(out->open() && out->start());
    for (; !gui.empty(); gui.pop_front()) gui.front()();
  }
};

struct NoJackServer {
  const char* old = std::getenv("JACK_DEFAULT_SERVER");
  std::string saved = old ? old : "";
  NoJackServer() { setenv("JACK_DEFAULT_SERVER", "kalvant-no-such-server", 1); }
  ~NoJackServer() {
    old ? setenv("JACK_DEFAULT_SERVER", saved.c_str(), 1) : unsetenv("JACK_DEFAULT_SERVER");
  }
};

TEST(BuiltInSynth, ListedAfterTheHardwareWhichGetsEveryMessageAsBefore) {
  Fixture f;
  std::vector<std::string> names;
  for (int i = 0; i < 4; ++i) f.out->selectDevice(i), names.push_back(f.out->deviceName());
  EXPECT_EQ(names, (std::vector<std::string>{"Hardware A", "Hardware B", kBuiltInSynthName, ""}));
  f.start(1);
  EXPECT_EQ(f.hardware->openedDevice, 1);
  f.out->sendSysex(str(gsResetMessage()) + str(kLevel5A));
  f.out->sendShort(0xC0, 19, 0);
  f.out->sendShort(0x90, 60, 100);
  EXPECT_EQ(f.hardware->sent,
            (std::vector<midi::Bytes>{gsResetMessage(), kLevel5A, {0xC0, 19}, {0x90, 60, 100}}));
  f.out->close();
  EXPECT_FALSE(f.hardware->isOpen());
}

TEST(BuiltInSynth, WithoutAudioOrSoundfontItOpensSilentAndSaysWhy) {
  NoJackServer noJack;
  for (const auto& [settings, errorMentions] :
       {std::pair<SynthSettings, const char*>{{"jack", ""}, "no JACK server is running"},
        {{"auto", "/nonexistent/organ.sf2"}, "/nonexistent/organ.sf2"}}) {
    Fixture f;
    f.start(2, &settings);
    ASSERT_EQ(f.errors.size(), 1u);
    EXPECT_NE(f.errors[0].find(errorMentions), std::string::npos) << f.errors[0];
    EXPECT_EQ(f.builtIn().audioDriver(), "");
    f.out->sendSysex(str(kLevel5A));  // the module still follows what it is sent
    ASSERT_NE(f.builtIn().gsState(), nullptr);
    EXPECT_EQ(f.builtIn().gsState()->part(0).level, 0x5A);
    EXPECT_TRUE(f.hardware->sent.empty());
    f.out->close();
    EXPECT_EQ(f.builtIn().gsState(), nullptr);
    EXPECT_FALSE(f.out->isOpen());
  }
}

TEST(BuiltInSynth, OpeningWritesNothingAndOnlyApplySaves) {
  NoJackServer noJack;
  Fixture f;
  f.start(2);
  f.out->close();
  EXPECT_FALSE(fs::exists(fs::path(f.dir.path) / kSynthSettingsFile));
  std::string error;
  const midi::SynthChoice chosen{"alsa", "/x/organ.sf2"};
  ASSERT_TRUE(f.builtIn().apply(chosen, error)) << error;
  EXPECT_EQ(f.builtIn().saved(error), chosen);
  EXPECT_EQ(f.builtIn().soundfontFile({"auto", ""}), kDefaultSoundfont);
}

TEST(SynthSettings, ParseAndRoundTrip) {
  const std::pair<const char*, SynthSettings> rows[] = {
      {"", {"auto", ""}},
      {"audio-driver = alsa\nsoundfont = /x/organ.sf2\n", {"alsa", "/x/organ.sf2"}},
      {"audio-driver=coreaudio\n", {"auto", ""}},
      {"# soundfont = /commented.sf2\n  soundfont =  /a b/#1.sf2  \r\n", {"auto", "/a b/#1.sf2"}},
      {"garbage\naudio-driver = jack\n", {"jack", ""}}};
  TempDir dir;
  for (const auto& [text, expected] : rows) {
    std::string error;
    EXPECT_EQ(parseSynthSettings(text), expected) << text;
    ASSERT_TRUE(saveSynthSettings(dir.path, expected, error)) << error;
    EXPECT_EQ(loadSynthSettings(dir.path), expected);
  }
  EXPECT_EQ(soundfontPath({}), kDefaultSoundfont);
}

// A JACK client with one input that keeps the loudest sample it heard.
struct Listener {
  jack_client_t* client = jack_client_open("kalvant-synth-listener", JackNoStartServer, nullptr);
  jack_port_t* port =
      client ? jack_port_register(client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0) : 0;
  std::atomic<float> peak{0};
  Listener() {
    if (!client) return;
    jack_set_process_callback(client, &Listener::process, this);
    jack_activate(client);
  }
  ~Listener() { client&& jack_client_close(client); }
  static int process(jack_nframes_t n, void* self) {
    auto* l = static_cast<Listener*>(self);
    const auto* in = static_cast<const float*>(jack_port_get_buffer(l->port, n));
    for (jack_nframes_t i = 0; i < n; ++i) l->peak = std::max(l->peak.load(), std::fabs(in[i]));
    return 0;
  }
  // Connects the first audio output of `from`.
  bool listenTo(const std::string& from) {
    const char** ports =
        jack_get_ports(client, (from + ":").c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    const bool ok = ports && ports[0] && jack_connect(client, ports[0], jack_port_name(port)) == 0;
    if (ports) jack_free(ports);
    return ok;
  }
  bool heard() const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (peak.load() <= 1e-3f && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return peak.load() > 1e-3f;
  }
};

TEST(JackSynth, OpensWithTheJackDriverAndPlays) {
  if (!std::getenv("JACK_DEFAULT_SERVER")) GTEST_SKIP() << "no JACK test server";
  if (!fs::exists(kDefaultSoundfont)) GTEST_SKIP() << "no soundfont";
  Listener listener;
  ASSERT_TRUE(listener.client && listener.port) << "JACK server not answering";
  Fixture f(std::vector<std::string>{});
  const SynthSettings jack{"jack", ""};
  f.start(0, &jack);
  EXPECT_EQ(f.errors, std::vector<std::string>{});
  EXPECT_EQ(f.builtIn().audioDriver(), "jack");
  ASSERT_TRUE(listener.listenTo("kalvant-synth"));
  f.out->sendShort(0xC0, 19, 0);
  f.out->sendShort(0x90, 60, 100);
  EXPECT_TRUE(listener.heard()) << "no sound reached the listener";
  f.out->sendShort(0x80, 60, 0);
  f.out->close();
}

}  // namespace
}  // namespace kalvant::synth

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
#include "midi/RtMidiBackend.h"
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

using MakeSystem = std::function<std::unique_ptr<midi::MemoryMidiOutput>(const midi::Post&)>;

// The built-in synthesizer over two hardware outputs; the test pumps the GUI thread.
struct Fixture {
  std::deque<std::function<void()>> gui;
  TempDir dir;
  midi::MemoryMidiOutput* hardware = nullptr;
  std::unique_ptr<midi::MidiOutput> out;
  std::vector<std::string> errors;
  explicit Fixture(std::vector<std::string> devices = {"Hardware A", "Hardware B"})
      : Fixture([&](const midi::Post& post) {
          return std::make_unique<midi::MemoryMidiOutput>(devices, post);
        }) {}
  explicit Fixture(const MakeSystem& make) {
    const midi::Post post = [this](std::function<void()> fn) { gui.push_back(std::move(fn)); };
    auto system = make(post);
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

TEST(BuiltInSynth, TheSystemsOutputSpacesItsMessagesAsAsked) {
  Fixture f;
  f.out->setMinimumGap(std::chrono::microseconds(250));
  EXPECT_EQ(f.hardware->minimumGap(), std::chrono::microseconds(250));
}

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

// The system's output as a back-end with its own cycle offers it: each
// cycle the test runs plays what was sent to the attached synthesizer, then
// renders a period.
class CycleOutput : public midi::MemoryMidiOutput {
 public:
  CycleOutput(double rate, bool renders, const midi::Post& post)
      : MemoryMidiOutput({"Hardware"}, post), rate_(rate), renders_(renders) {}
  double cycleSampleRate() const override { return rate_; }
  bool attachCycleSynth(midi::CycleSynth* synth) override {
    attaches.push_back(synth != nullptr);
    if (!synth) cycle();  // it must still be alive while it is taken back
    if (synth && !renders_) return false;
    synth_ = synth;
    return true;
  }
  void sendToCycleSynth(const std::uint8_t* data, std::size_t size) override {
    pending_.emplace_back(data, data + size);
  }
  float cycle(std::uint32_t frames = 256) {  // the peak of the left channel
    if (!synth_) return 0;
    for (const midi::Bytes& m : std::exchange(pending_, {}))
      synth_->play(m.data(), m.size()), played.push_back(m);
    std::vector<float> left(frames), right(frames);
    synth_->render(left.data(), right.data(), frames);
    float peak = 0;
    for (float x : left) peak = std::max(peak, std::fabs(x));
    return peak;
  }
  std::vector<midi::Bytes> played;
  std::vector<bool> attaches;  // true: attached, false: taken back

 private:
  double rate_;
  bool renders_;
  midi::CycleSynth* synth_ = nullptr;
  std::vector<midi::Bytes> pending_;
};

struct CycleFixture : Fixture {
  CycleFixture(double rate, bool renders)
      : Fixture([=](const midi::Post& post) {
          return std::make_unique<CycleOutput>(rate, renders, post);
        }) {}
  CycleOutput& system() { return static_cast<CycleOutput&>(*hardware); }
};

TEST(BuiltInSynthInCycle, PlaysInTheCycleOnlyWhenChosenAndTheSystemRendersIt) {
  if (!fs::exists(kDefaultSoundfont)) GTEST_SKIP() << "no soundfont";
  NoJackServer noJack;
  struct Row {
    const char* choice;
    double rate;
    bool renders, inCycle;
    std::vector<bool> attaches;  // over open and close
  };
  for (const Row& row :
       {Row{"auto", 48000, true, true, {true, false}},
        Row{"jack", 44100, true, true, {true, false}}, Row{"pulseaudio", 48000, true, false, {}},
        Row{"auto", 48000, false, false, {true}}, Row{"auto", 0, true, false, {}}}) {
    SCOPED_TRACE(std::string(row.choice) + " " + std::to_string(row.rate));
    CycleFixture f(row.rate, row.renders);
    const SynthSettings settings{row.choice, ""};
    f.start(1, &settings);
    EXPECT_EQ(f.builtIn().playsInCycle(), row.inCycle);
    EXPECT_EQ(f.builtIn().audioDriver() == "jack", row.inCycle);
    f.out->sendShort(0xB0, 7, 0x5A);
    f.system().cycle();
    // Either way each message is heard once, and the GS state shows it.
    EXPECT_EQ(f.system().played.size(), row.inCycle ? 1u : 0u);
    EXPECT_EQ(f.builtIn().gsState()->part(0).level, 0x5A);
    EXPECT_TRUE(f.hardware->sent.empty());
    f.out->close();
    EXPECT_EQ(f.system().attaches, row.attaches);
  }
}

TEST(BuiltInSynthInCycle, SoundsInThePeriodAfterTheNoteAndFallsSilentAfterItsRelease) {
  if (!fs::exists(kDefaultSoundfont)) GTEST_SKIP() << "no soundfont";
  CycleFixture f(48000, true);
  f.start(1);
  f.out->sendSysex(str(gsResetMessage()) + str(kLevel5A));
  f.out->sendShort(0xB0, 91, 0);  // no reverberation to wait for
  f.out->sendShort(0xC0, 19, 0);
  EXPECT_LT(f.system().cycle(), 1e-6f);
  EXPECT_EQ(f.builtIn().gsState()->part(0).level, 0x5A);
  f.out->sendShort(0x90, 60, 100);
  EXPECT_GT(f.system().cycle(), 2e-4f) << "no sound in the period after the note-on";
  f.out->sendShort(0x80, 60, 0);
  int periods = 0;  // 256 frames each
  while (f.system().cycle() > 1e-5f && periods < 1000) ++periods;
  EXPECT_LT(periods, 1000) << "still sounding 5 s after the release";
  EXPECT_EQ(
      f.system().played,
      (std::vector<midi::Bytes>{
          gsResetMessage(), kLevel5A, {0xB0, 91, 0}, {0xC0, 19}, {0x90, 60, 100}, {0x80, 60, 0}}));
}

// A JACK client with one input that keeps the loudest sample it heard.
struct Listener {
  jack_client_t* client = jack_client_open("kalvant-synth-listener", JackNoStartServer, nullptr);
  jack_port_t* port =
      client ? jack_port_register(client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0) : 0;
  std::atomic<float> peak{0};
  std::atomic<std::int64_t> cycleStart{-1};  // the frame the last cycle began at
  std::atomic<std::int64_t> loudAt{-1};      // the first cycle that heard anything
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
    l->cycleStart = jack_last_frame_time(l->client);
    // An organ pipe speaks over several periods: the onset is its first sample.
    if (l->peak.load() > 1e-5f && l->loudAt.load() < 0) l->loudAt = l->cycleStart.load();
    return 0;
  }
  // Connects the first audio output whose name starts with `from`.
  bool listenTo(const std::string& from) {
    const char** ports =
        jack_get_ports(client, ("^" + from).c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    const bool ok = ports && ports[0] && jack_connect(client, ports[0], jack_port_name(port)) == 0;
    if (ports) jack_free(ports);
    return ok;
  }
  bool noSynthClient() const {
    char* uuid = jack_get_uuid_for_client_name(client, "kalvant-synth");
    return uuid ? (jack_free(uuid), false) : true;
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
  ASSERT_TRUE(listener.listenTo("kalvant-synth:"));
  f.out->sendShort(0xC0, 19, 0);
  f.out->sendShort(0x90, 60, 100);
  EXPECT_TRUE(listener.heard()) << "no sound reached the listener";
  f.out->sendShort(0x80, 60, 0);
  f.out->close();
}

// On JACK MIDI the synthesizer plays in the console's own client: its ports
// out_L and out_R go to the system's playback, no client of its own appears,
// and a note sounds in the first cycle that begins after it was sent.
TEST(JackSynth, PlaysInTheConsolesOwnCycleWithinAPeriod) {
  if (!std::getenv("JACK_DEFAULT_SERVER")) GTEST_SKIP() << "no JACK test server";
  if (!fs::exists(kDefaultSoundfont)) GTEST_SKIP() << "no soundfont";
  Listener listener;
  ASSERT_TRUE(listener.client && listener.port) << "JACK server not answering";
  TempDir dir;
  const midi::Post drop = [](std::function<void()>) {};  // nothing to report here
  auto out =
      withBuiltInSynth(midi::createRtMidiPorts(midi::Api::Jack, drop).output, dir.path, drop);
  auto& builtIn = static_cast<BuiltInSynthOutput&>(*out);
  out->selectDevice(out->deviceCount() - 1);
  ASSERT_TRUE(out->open() && out->start());
  ASSERT_TRUE(builtIn.playsInCycle());
  EXPECT_EQ(builtIn.audioDriver(), "jack");
  for (const auto& [port, playback] : {std::pair{"kalvant:out_L", "system:playback_1"},
                                       std::pair{"kalvant:out_R", "system:playback_2"}}) {
    jack_port_t* p = jack_port_by_name(listener.client, port);
    EXPECT_TRUE(p && jack_port_connected_to(p, playback)) << port << " not to " << playback;
  }
  ASSERT_TRUE(listener.listenTo("kalvant:out_L"));
  out->sendShort(0xB0, 91, 0);
  out->sendShort(0xC0, 19, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(listener.loudAt.load(), -1) << "sound before the note";
  // The listener runs after the console in each cycle, so when the note is
  // sent the console is at most one cycle ahead of what the listener saw:
  // the note must sound in the cycle after next at the latest.
  const std::int64_t period = jack_get_buffer_size(listener.client);
  const std::int64_t seen = listener.cycleStart.load();
  out->sendShort(0x90, 60, 100);
  ASSERT_TRUE(listener.heard()) << "no sound on kalvant:out_L";
  EXPECT_LE(listener.loudAt.load() - seen, 2 * period) << "the note sounded late";
  EXPECT_TRUE(listener.noSynthClient()) << "a client kalvant-synth plays";
  out->sendShort(0x80, 60, 0);
  out->close();
}

}  // namespace
}  // namespace kalvant::synth

// The built-in synthesizer as the console's output device: the device list,
// hardware outputs untouched, a silent but working module when no audio
// device or soundfont can be had, and its settings file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>

#include "midi/MemoryMidi.h"
#include "synth/BuiltInSynth.h"
#include "synth/FluidTarget.h"
#include "synth/GsModule.h"

namespace kalvant::synth {
namespace {

namespace fs = std::filesystem;

// What the ports post to the GUI thread, run when the test pumps.
struct Gui {
  std::deque<std::function<void()>> queue;
  midi::Post post() {
    return [this](std::function<void()> fn) { queue.push_back(std::move(fn)); };
  }
  void pump() {
    for (; !queue.empty(); queue.pop_front()) queue.front()();
  }
};

class TempDir {
 public:
  TempDir() {
    std::string t = (fs::temp_directory_path() / "kalvant-synth-XXXXXX").string();
    path_ = mkdtemp(t.data());
  }
  ~TempDir() { fs::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Points libjack at a server that does not exist, for the life of a test.
class NoJackServer {
 public:
  NoJackServer() {
    if (const char* v = std::getenv("JACK_DEFAULT_SERVER")) old_ = v;
    setenv("JACK_DEFAULT_SERVER", "kalvant-no-such-server", 1);
  }
  ~NoJackServer() {
    if (old_.empty()) {
      unsetenv("JACK_DEFAULT_SERVER");
    } else {
      setenv("JACK_DEFAULT_SERVER", old_.c_str(), 1);
    }
  }

 private:
  std::string old_;
};

struct Fixture {
  Gui gui;
  TempDir dir;
  midi::MemoryMidiOutput* hardware = nullptr;
  std::unique_ptr<midi::MidiOutput> out;
  std::vector<std::string> errors;

  Fixture() {
    auto system = std::make_unique<midi::MemoryMidiOutput>(
        std::vector<std::string>{"Hardware A", "Hardware B"}, gui.post());
    hardware = system.get();
    out = withBuiltInSynth(std::move(system), dir.path(), gui.post());
    out->onError = [this](int, const std::string& text) { errors.push_back(text); };
  }
  BuiltInSynthOutput& builtIn() { return static_cast<BuiltInSynthOutput&>(*out); }
  void writeSettings(const SynthSettings& s) {
    std::string error;
    ASSERT_TRUE(saveSynthSettings(dir.path(), s, error)) << error;
  }
};

TEST(BuiltInSynth, ListedAfterTheHardwareWhichGetsEveryMessageAsBefore) {
  Fixture f;
  ASSERT_EQ(f.out->deviceCount(), 3);
  const std::vector<std::string> expected{"Hardware A", "Hardware B", kBuiltInSynthName, ""};
  for (int i = 0; i < 4; ++i) {
    f.out->selectDevice(i);
    EXPECT_EQ(f.out->deviceName(), expected[static_cast<std::size_t>(i)]) << i;
  }
  f.out->selectDevice(1);
  ASSERT_TRUE(f.out->open() && f.out->start());
  EXPECT_EQ(f.hardware->openedDevice, 1);
  const Bytes reset = gsResetMessage();
  const Bytes level = makeDataSet(gsAddress(0x40, 0x11, 0x19), {90});
  std::string entry(reset.begin(), reset.end());
  entry.append(level.begin(), level.end());
  f.out->sendSysex(entry);
  f.out->sendShort(0xC0, 19, 0);
  f.out->sendShort(0x90, 60, 100);
  EXPECT_EQ(f.hardware->sent,
            (std::vector<midi::Bytes>{reset, level, {0xC0, 19}, {0x90, 60, 100}}));
  f.out->close();
  EXPECT_FALSE(f.hardware->isOpen());
}

TEST(BuiltInSynth, WithoutAudioOrSoundfontItOpensSilentAndSaysWhy) {
  struct Case {
    const char* name;
    SynthSettings settings;
    const char* errorMentions;
  };
  const std::vector<Case> cases{
      {"no JACK server", {"jack", ""}, "no JACK server is running"},
      {"no soundfont", {"auto", "/nonexistent/organ.sf2"}, "/nonexistent/organ.sf2"},
  };
  NoJackServer noJack;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    f.writeSettings(c.settings);
    f.out->selectDevice(2);
    ASSERT_TRUE(f.out->open() && f.out->start());
    f.gui.pump();
    ASSERT_EQ(f.errors.size(), 1u);
    EXPECT_NE(f.errors[0].find(c.errorMentions), std::string::npos) << f.errors[0];
    EXPECT_EQ(f.builtIn().audioDriver(), "");
    // The console keeps working: the module still follows what it is sent.
    const Bytes level = makeDataSet(gsAddress(0x40, 0x11, 0x19), {0x5A});
    f.out->sendSysex(std::string(level.begin(), level.end()));
    ASSERT_NE(f.builtIn().module(), nullptr);
    EXPECT_EQ(f.builtIn().module()->interpreter().part(0).level, 0x5A);
    EXPECT_TRUE(f.hardware->sent.empty());
    f.out->close();
    EXPECT_EQ(f.builtIn().module(), nullptr);
  }
}

TEST(BuiltInSynth, OpeningWritesNothingAndOnlyApplySaves) {
  NoJackServer noJack;
  Fixture f;
  const fs::path file = fs::path(f.dir.path()) / kSynthSettingsFile;
  // Without a file the default is "auto"; it may find real audio, which is fine.
  f.out->selectDevice(2);
  ASSERT_TRUE(f.out->open());
  f.out->close();
  EXPECT_FALSE(fs::exists(file));

  std::string error;
  const midi::SynthChoice chosen{"alsa", "/x/organ.sf2"};
  ASSERT_TRUE(f.builtIn().apply(chosen, error)) << error;
  EXPECT_EQ(f.builtIn().saved(error), chosen);
  EXPECT_EQ(f.builtIn().soundfontFile({"auto", ""}), kDefaultSoundfont);
}

TEST(SynthSettings, ParseAndRoundTrip) {
  struct Case {
    const char* text;
    SynthSettings expected;
  };
  const std::vector<Case> cases{
      {"", {"auto", ""}},
      {"audio-driver = alsa\nsoundfont = /x/organ.sf2\n", {"alsa", "/x/organ.sf2"}},
      {"audio-driver=coreaudio\n", {"auto", ""}},
      {"# soundfont = /commented.sf2\n  soundfont =  /a b/#1.sf2  \r\n", {"auto", "/a b/#1.sf2"}},
      {"garbage\naudio-driver = jack\n", {"jack", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseSynthSettings(c.text), c.expected) << c.text;

  TempDir dir;
  for (const Case& c : cases) {
    std::string error;
    ASSERT_TRUE(saveSynthSettings(dir.path(), c.expected, error)) << error;
    EXPECT_EQ(loadSynthSettings(dir.path()), c.expected);
  }
  EXPECT_EQ(soundfontPath({}), kDefaultSoundfont);
}

}  // namespace
}  // namespace kalvant::synth

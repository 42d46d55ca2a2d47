// Devices kept by name: start-up, a missing device, Setup, hot-plug, renames
// and the module coming back.

#include <algorithm>

#include "ports/DeviceFile.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using Names = std::vector<std::string>;
using ports::DeviceNames;

midi::Bytes tagged(int entry) {
  const std::string e = taggedEntry(entry);
  return {e.begin(), e.end()};
}

TEST(DeviceMatching, FindsTheNthDeviceOfAName) {
  const Names list{"Keys", "Pedal", "Keys"};
  const std::tuple<std::string, int, int> rows[] = {
      {"Pedal", 0, 1}, {"Keys", 0, 0}, {"Keys", 1, 2},  {"Keys", 2, -1},
      {"Gone", 0, -1}, {"", 0, -1},    {"keys", 0, -1},
  };
  for (const auto& [name, occurrence, position] : rows)
    EXPECT_EQ(ports::findDevice(list, name, occurrence), position) << name << occurrence;
}

TEST(DeviceFile, ReadsWhatWasRecordedAndNamesTheBadLine) {
  const std::string dir = ::testing::TempDir();
  const std::string file = dir + "/" + ports::kDeviceFileName;
  const std::tuple<std::string, DeviceNames, std::string> rows[] = {
      {"input1=a:b\r\ninput2=\noutput=x=y\r\n", {"a:b", "", "x=y"}, ""},
      {"# comment\n\n output =GS\nfuture=1\n", {std::nullopt, std::nullopt, "GS"}, ""},
      {"input1=A\ninput2=B\ngarbage\n", {}, "line 3: no '='"},
  };
  for (const auto& [text, names, error] : rows) {
    std::ofstream(file, std::ios::binary) << text;
    const ports::DeviceFileRead r = ports::readDeviceFile(file);
    EXPECT_EQ(std::tuple(r.ok, r.names), std::tuple(error.empty(), names)) << text;
    EXPECT_NE(r.error.find(error), std::string::npos) << r.error;
  }
  const DeviceNames written{"Keys [1]", "", std::nullopt};
  std::string error;
  ASSERT_TRUE(ports::writeDeviceFile(file, written, error)) << error;
  EXPECT_EQ(ports::readDeviceFile(file).names, written);
  std::remove(file.c_str());
  EXPECT_TRUE(ports::readDeviceFile(file).ok);
}

class Devices : public ConsoleTest {
 public:
  void names(const std::string& text) const { writeFile(ports::kDeviceFileName, text); }
  std::string status() const { return k->midiSetup().connectionStatus().text; }
  void changed() { in1.devicesChanged(), loop.runPosted(); }
  // Plays a note on input 1; returns the note-on the module received.
  midi::Bytes holdNote() {
    sent.clear(), in1.inject({0x90, 60, 100}), loop.runPosted();
    EXPECT_EQ(sent.size(), 1u);
    return sent.empty() ? midi::Bytes{} : sent.back().bytes;
  }
};

TEST_F(Devices, StartUpOpensByNameWhateverTheListOrder) {
  const std::tuple<Names, std::string, int, int, int> rows[] = {
      // both inputs' list, devices file, CFG position of input 1, positions opened
      {{"Keyboard A", "Keyboard B"}, "input1=Keyboard B\ninput2=\n", 0, 1, -1},
      {{"New", "Keyboard A", "Keyboard B"}, "input1=Keyboard B\ninput2=\n", 1, 2, -1},
      {{"Keys", "Keys"}, "input1=Keys\ninput2=Keys\n", 0, 0, 1},  // input 2: the second
      {{"Keyboard A", "Keyboard B"}, "", 1, 1, -1},               // an older version: by position
  };
  for (const auto& [list, file, cfgPosition, opened1, opened2] : rows) {
    restart(), in1.close(), in2.close(), user.messages.clear();
    in1.deviceList.names = in2.deviceList.names = list;
    std::filesystem::remove(path(ports::kDeviceFileName));
    if (!file.empty()) names(file);
    startWith(cfgPosition, 2, 0);
    EXPECT_EQ(
        std::tuple(in1.isOpen() ? in1.openedDevice : -1, in2.isOpen() ? in2.openedDevice : -1),
        std::tuple(opened1, opened2))
        << file;
    EXPECT_EQ(user.messages, Names{}) << file;
  }
  // The older file's device is recorded by name from then on.
  EXPECT_EQ(ports::readDeviceFile(path(ports::kDeviceFileName)).names,
            (DeviceNames{"Keyboard B", "", "GS Module"}));
}

TEST_F(Devices, AMissingDeviceIsToldOnceAndKeptThroughSetup) {
  names("input1=Keyboard A\noutput=Roland A-49:out\n");
  startWith(0, 2, 0);
  EXPECT_EQ(user.messages, Names{"MIDI output \"Roland A-49:out\" is not connected; kalvant will "
                                 "use it as soon as it appears."});
  EXPECT_TRUE(in1.isOpen() && !out.isOpen());
  k->SetMidi_Click();
  const ports::SetupView& v = k->midiSetup().view();
  ASSERT_TRUE(v.visible);
  EXPECT_EQ(v.outputDevices,
            (Names{"GS Module", "Synth", "(not connected) Roland A-49:out", "No device"}));
  EXPECT_EQ(v.outputSelected, 2);
  k->Setup_OK_Click();
  k->Salva_dati_di_avvio();
  EXPECT_EQ(k->midiSetup().wanted(2), "Roland A-49:out");
  EXPECT_EQ(ports::readDeviceFile(path(ports::kDeviceFileName)).names[2], "Roland A-49:out");
  EXPECT_EQ(user.messages.size(), 1u) << user.messages.back();
  EXPECT_TRUE(exists("KALVANT.CFG"));
}

TEST_F(Devices, SetupRefusesOneKeyboardForBothInputs) {
  const std::tuple<Names, int, int, bool> rows[] = {
      {{"Keyboard A", "Keyboard B"}, 0, 0, true},
      {{"Keyboard A", "Keyboard B"}, 0, 1, false},
      {{"Keys", "Keys"}, 0, 1, false},              // two of the same make
      {{"Keys", "Keys"}, 1, 1, true},               // one of them twice
      {{"Keyboard A", "Keyboard B"}, 2, 2, false},  // No device twice
  };
  for (const auto& [list, first, second, refused] : rows) {
    restart(), user.messages.clear();
    in1.deviceList.names = in2.deviceList.names = list;
    std::filesystem::remove(path(ports::kDeviceFileName));
    startWith(2, 2, 0);
    k->SetMidi_Click(), k->InputDev1Combo_Click(first), k->InputDev2Combo_Click(second);
    k->Setup_OK_Click();
    EXPECT_EQ(k->midiSetup().view().visible, refused) << first << second;
    EXPECT_EQ(user.messages.size(), refused ? 1u : 0u);
    if (refused) k->Setup_CANCEL_Click();
  }
}

TEST_F(Devices, AVanishedKeyboardReleasesItsNotesAndComesBack) {
  startWith(0, 2, 0);
  const midi::Bytes on = holdNote();
  ASSERT_EQ(on.size(), 3u);
  sent.clear();
  in1.deviceList.set({"Keyboard B"}), changed();
  EXPECT_EQ(bytesSent(),
            (std::vector<midi::Bytes>{{static_cast<std::uint8_t>(0x80 | (on[0] & 0x0F)), 60, 64}}));
  EXPECT_FALSE(in1.isOpen());
  EXPECT_EQ(status(),
            "MIDI input 1 \"Keyboard A\" is disconnected; kalvant will use it again as "
            "soon as it appears.");
  in1.deviceList.set({"Keyboard B", "Keyboard A"}), changed();
  EXPECT_EQ(std::tuple(in1.isOpen(), in1.openedDevice), std::tuple(true, 1));
  EXPECT_EQ(status(), "MIDI input 1 \"Keyboard A\" is connected.");
  EXPECT_EQ(holdNote(), on);
  sent.clear(), in1.inject({0xFE}), loop.runPosted();
  EXPECT_EQ(bytesSent(), std::vector<midi::Bytes>{});  // active sensing stays filtered
  EXPECT_EQ(user.messages, Names{});                   // never a box during a performance
}

TEST_F(Devices, ARenamedKeyboardIsFollowedAndAPolledOneIsFound) {
  startWith(0, 2, 0);
  in1.deviceList.rename("Keyboard A", "Piano"), changed();
  EXPECT_EQ(std::tuple(in1.isOpen(), k->midiSetup().wanted(0)), std::tuple(true, "Piano"));
  // A back-end that tells nothing is looked at every second.
  in1.deviceList.announces = in1.deviceList.tells = false;
  in1.deviceList.set({"Keyboard B"});
  loop.secondTick();
  EXPECT_FALSE(in1.isOpen());
  in1.deviceList.set({"Piano"});
  loop.secondTick();
  EXPECT_TRUE(in1.isOpen());
}

TEST_F(Devices, TheModuleComingBackGetsTheLiveRegistration) {
  startWith(2, 2, 0);
  k->Temperament_Click(2), k->Reverb_Click(1);
  k->Tiranti_Click(12), k->Tiranti_Click(55), k->Tiranti_Click(85);
  k->Slider1_Scroll(100), k->Tir_TREMOLOGO_Click();
  out.deviceList.set({"Synth"}), changed();
  EXPECT_FALSE(out.isOpen());
  sent.clear();
  out.deviceList.set({"Synth", "GS Module"}), changed();
  EXPECT_EQ(out.openedDevice, 1);
  const std::vector<midi::Bytes> expected = {
      tagged(12), tagged(55),     tagged(85),   tagged(107),     tagged(108),    tagged(109),
      tagged(8),  {0xB0, 1, 100}, {0xB1, 1, 0}, {0xB0, 11, 100}, {0xB1, 11, 127}};
  EXPECT_EQ(bytesSent(), expected);
  sent.clear(), k->Resend_Click();
  EXPECT_EQ(bytesSent(), expected);  // the menu command sends the same
}

// Only a real failure stops the player with a box; a device that vanished
// between listing and opening is waited for like any missing one.
TEST_F(Devices, InputErrorsGoWhereTheyBelong) {
  startWith(0, 2, 0);
  const std::tuple<int, std::string, Names, std::string> rows[] = {
      // code, text, boxes, status line
      {midi::kWarning, "w", {}, ""},
      {midi::kQueueOverflow, "q", {}, ""},
      {midi::kDriverError, "broken", {"broken"}, ""},
      {midi::kNoSuchDevice, "gone", {}, "gone"},
  };
  for (const auto& [code, text, boxes, shown] : rows) {
    user.messages.clear();
    in2.reportError(code, text), loop.runPosted();
    EXPECT_EQ(std::tuple(user.messages, status()), std::tuple(boxes, shown)) << code;
  }
}

TEST_F(Devices, AStoppedMidiSystemIsToldOnceWithoutWaiting) {
  startWith(0, 2, 0);
  out.reportError(midi::kSystemStopped, "The JACK server has stopped.");
  in1.deviceList.set({}), out.deviceList.set({}), changed();
  EXPECT_EQ(user.notices, Names{"The JACK server has stopped."});
  EXPECT_EQ(status(), "The JACK server has stopped.");
  EXPECT_EQ(user.messages, Names{});
}

}  // namespace
}  // namespace kalvant::test

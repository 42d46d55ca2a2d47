// RESET, and the MIDI device setup dialog with its port sequences.

#include <algorithm>
#include <filesystem>

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using Reset = ConsoleTest;
class Setup : public ConsoleTest {};
using Names = std::vector<std::string>;
using Entries = std::vector<int>;

TEST_F(Reset, SendsTheSetupEntriesThenReverbAndTemperaments) {
  startPlaying();
  const std::tuple<i16, i16, Entries> rows[] = {
      // reverb, temperament, entries sent
      {0, 0, {100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103}},
      {1, 1, {100, 1, 0, 2, 3, 4, 5, 6, 8, 104, 105, 106}},
      {2, 3, {100, 1, 0, 2, 3, 4, 5, 6, 9, 110, 111, 112}},
      {5, 9, {100, 1, 0, 2, 3, 4, 5, 6}}};  // values a hand-edited file may hold send nothing
  for (const auto& [reverb, temperament, expected] : rows) {
    Settings& s = k->s.settings;
    s.ReverbType = reverb, s.GreatTemperament = s.SwellTemperament = temperament;
    s.PedalTemperament = temperament;
    sent.clear();
    k->RESET_Click(), loop.advance(60);  // its pauses: Schedule.ResetLeavesInOrderWithItsPauses
    const Lamp duringPause = k->panel.resetButton().lamp;
    loop.drain();
    EXPECT_EQ(sentEntries(), expected) << reverb;
    EXPECT_EQ(std::pair(duringPause, k->panel.resetButton().lamp),
              std::pair(Lamp::Lit, Lamp::Unlit));
  }
}

TEST_F(Reset, BringsTheConsoleToTheInitialRegistrationAndKeepsMemories) {
  startPlaying();
  MemoryBank& bank = k->registration().bank();
  bank.memories.fill({90, 100, 12, 1, 55, 1, 83, 2, 1, 2});
  const auto memories = bank.memories;
  for (int thru : {0, 1, 2}) {
    k->c_memory_Click(7);
    k->Rec_button_Click();
    k->s.settings.ThruMode = static_cast<i16>(thru);
    k->RESET_Click(), loop.drain();
    const CombinationsView& v = k->registration().view();
    const MenuItemViews& menu = k->sound().view().menu;
    EXPECT_EQ(std::tuple(bank.live, bank.memories, k->registration().currentMemory()),
              std::tuple(kInitialRegistration, memories, 1));
    EXPECT_EQ(std::tuple(v.recButton.lamp, v.greatDivision.lamp, v.pedalDivision.lamp,
                         v.fixedMemoryBar[4].lamp, k->panel.resetButton().lamp),
              std::tuple(Lamp::Unlit, thru == 1 ? Lamp::Lit : Lamp::Inactive, Lamp::Inactive,
                         Lamp::Inactive, Lamp::Unlit))
        << thru;
    EXPECT_TRUE(menu[MenuItem::ReverbChurch].checked && menu[MenuItem::Equal].checked);
  }
}

// A configuration without device names: two output devices, so position 2
// is "No device"; a position beyond the list is told, and nobody is locked out.
TEST_F(Setup, ASavedPositionAtStartUp) {
  for (const auto& [index, opened, complains] :
       {std::tuple<i16, bool, int>{1, true, 0}, {2, false, 0}, {3, false, 1}, {-1, false, 1}}) {
    restart(), out.close(), user.messages.clear();
    std::filesystem::remove(path(ports::kDeviceFileName));
    startWith(2, 2, index);
    EXPECT_EQ(out.isOpen(), opened) << index;
    const bool told = std::ranges::any_of(user.messages, [&](const std::string& m) {
      return m.find("MIDI output: the device saved as number " + std::to_string(index)) == 0;
    });
    EXPECT_EQ(told, complains == 1) << index;
    EXPECT_EQ(std::ranges::count_if(
                  user.messages,
                  [](const std::string& m) { return m.find("KALVANT.CFG") != std::string::npos; }),
              0);
  }
}

TEST_F(Setup, WithoutDevicesEveryListHoldsOnlyNoDevice) {
  midi::MemoryMidiInput none1{{}, loop.post()}, none2{{}, loop.post()};
  midi::MemoryMidiOutput noneOut{{}, loop.post()};
  Console bare({user, loop, none1, none2, noneOut, dir});
  loop.onTimer = [&] { bare.Timer1_Timer(); };
  bare.Form_Load();
  bare.SetMidi_Click();
  const ports::SetupView& v = bare.midiSetup().view();
  EXPECT_EQ((std::vector<Names>{v.input1Devices, v.input2Devices, v.outputDevices}),
            std::vector<Names>(3, Names{"No device"}));
  bare.SetMidi_Click(), bare.Setup_OK_Click();
  EXPECT_EQ(none1.openCount + none2.openCount + noneOut.openCount, 0);
}

TEST_F(Setup, OkOpensTheChosenDevicesAndResets) {
  startWith(2, 2, 2);
  k->SetMidi_Click(), k->InputDev1Combo_Click(1), k->outputDevcombo_Click(0);
  k->Setup_Slider1_Scroll(130);  // held to the slider's range
  EXPECT_EQ(k->midiSetup().view().sysexDelayText, "100");
  sent.clear();
  k->Setup_OK_Click(), loop.drain();
  EXPECT_EQ(std::tuple(in1.openedDevice, in2.isOpen(), out.openedDevice, k->s.settings.SysexDelay),
            std::tuple(1, false, 0, 100));
  // The temperaments are refreshed, then the reset reaches the new output.
  EXPECT_EQ(sentEntries(), (Entries{101, 102, 103, 100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103}));
}

TEST_F(Setup, CancelAndTheCloseBoxRestoreDelaysAndReopenTheOldPorts) {
  for (bool closeBox : {false, true}) {
    startWith(0, 2, 1);
    k->s.settings.NoteDelay = 100, k->s.settings.SysexDelay = 0;
    const int opens = out.openCount;
    k->SetMidi_Click();
    EXPECT_FALSE(out.isOpen() || in1.isOpen());  // closed while the dialog is open
    k->Setup_Slider1_Scroll(55), k->Setup_Slider2_Scroll(400), k->outputDevcombo_Click(0);
    closeBox ? k->Setup_Close() : k->Setup_CANCEL_Click();
    EXPECT_EQ(std::tuple(k->s.settings.SysexDelay, k->s.settings.NoteDelay, out.openedDevice,
                         out.openCount, in1.isOpen()),
              std::tuple(0, 100, 1, opens + 1, true))
        << closeBox;
  }
}

// A stop chosen while the dialog has the ports closed reaches the module
// when CANCEL reopens them; with nothing chosen meanwhile, nothing is resent.
TEST_F(Setup, AStopChosenWhileTheDialogIsOpenReachesTheModuleOnCancel) {
  for (bool chosen : {false, true}) {
    startWith(0, 2, 0), loop.drain();
    k->SetMidi_Click();
    if (chosen) k->Tiranti_Click(20);
    sent.clear(), k->Setup_CANCEL_Click(), loop.drain();
    const Entries e = sentEntries();
    EXPECT_EQ(std::count(e.begin(), e.end(), 20), chosen ? 1 : 0) << chosen;
  }
}

TEST_F(Setup, ListsAreFilledAgainAfterATableLoad) {
  startWith(2, 2, 0);
  k->CARICAMENTO_DAT();  // as the editor's Enable does
  user.messages.clear();
  k->SetMidi_Click();
  EXPECT_EQ(user.messages, Names{});
  EXPECT_EQ(k->midiSetup().view().outputDevices, (Names{"GS Module", "Synth", "No device"}));
}

struct FakeSynth : StubSynth {
  std::vector<midi::SynthChoice> applied;
  std::string failure;  // apply() fails with it when set
  bool outputOpenAtApply = false;
  const midi::MidiOutput* out = nullptr;
  std::string soundfontFile(const midi::SynthChoice& c) override {
    return c.soundfont.empty() ? "/usr/share/default.sf2" : c.soundfont;
  }
  bool apply(const midi::SynthChoice& c, std::string& error) override {
    applied.push_back(c), outputOpenAtApply = out->isOpen();
    return (error = failure).empty();
  }
};

class SynthSetup : public ConsoleTest {
 protected:
  FakeSynth synth;
  SynthSetup() { synth.out = &out, restart(&synth), startWith(2, 2, 0), k->SetMidi_Click(); }
};

TEST_F(SynthSetup, OkAppliesTheChoiceOnceBeforeThePortsReopen) {
  EXPECT_EQ(k->midiSetup().view().synth.soundfontShown, "/usr/share/default.sf2");
  user.pickedFiles = {"/home/o/organ.sf2"};
  k->SynthDriver_Click(2), k->SynthSoundfont_Browse();
  EXPECT_EQ(user.fileDialogs, Names{"Soundfont|.sf2"});
  EXPECT_EQ(k->midiSetup().view().synth.soundfontShown, "/home/o/organ.sf2");
  k->Setup_OK_Click();
  EXPECT_EQ(synth.applied, (std::vector<midi::SynthChoice>{{"alsa", "/home/o/organ.sf2"}}));
  EXPECT_TRUE(!synth.outputOpenAtApply && out.isOpen());
}

TEST_F(SynthSetup, OnlyAChangedOkAppliesAndAFailureIsTold) {
  for (int end : {0, 1, 2}) {  // CANCEL, the close box, OK with nothing changed
    if (end != 2) k->SynthDriver_Click(1), k->SynthSoundfont_Default();
    end == 0 ? k->Setup_CANCEL_Click() : end == 1 ? k->Setup_Close() : k->Setup_OK_Click();
    k->SetMidi_Click();
  }
  EXPECT_TRUE(synth.applied.empty());
  synth.failure = "cannot write kalvant-synth.ini";
  k->SynthDriver_Click(1), user.messages.clear(), k->Setup_OK_Click();
  EXPECT_EQ(user.messages, Names{"cannot write kalvant-synth.ini"});
  EXPECT_TRUE(out.isOpen());
}

}  // namespace
}  // namespace kalvant::test

// RESET, and the MIDI device setup dialog with its port sequences.

#include <algorithm>

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class Reset : public ConsoleTest {
 protected:
  Reset() {
    k->stopsTable.table() = taggedTable();
    openOutput();
  }
};

TEST_F(Reset, SendsTheSetupEntriesThenReverbAndTemperaments) {
  struct Case {
    i16 reverb, temperament;
    std::vector<int> tail;  // what follows 100, 1, 0, 2, 3, 4, 5, 6
  };
  const Case cases[] = {
      {0, 0, {7, 101, 102, 103}},
      {1, 1, {8, 104, 105, 106}},
      {2, 3, {9, 110, 111, 112}},
      {5, 9, {}},  // values a hand-edited file may hold send nothing
  };
  for (const Case& c : cases) {
    sent.clear();
    k->s.settings.ReverbType = c.reverb;
    k->s.settings.GreatTemperament = k->s.settings.SwellTemperament =
        k->s.settings.PedalTemperament = c.temperament;
    const long start = loop.now;
    Lamp duringPause = Lamp::Unlit;
    loop.at(loop.now + 10, [&] { duringPause = k->panel.resetButton().lamp; });
    k->RESET_Click();
    EXPECT_EQ(duringPause, Lamp::Lit);
    std::vector<int> expected{100, 1, 0, 2, 3, 4, 5, 6};
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(sentEntries(), expected) << c.reverb;
    EXPECT_EQ(sent[1].time - sent[0].time, 50);
    EXPECT_EQ(sent[2].time - sent[1].time, 50);
    EXPECT_EQ(loop.now - start, 100);
  }
}

TEST_F(Reset, BringsTheConsoleToTheInitialRegistrationAndKeepsMemories) {
  const Registration memory{90, 100, 12, 1, 55, 1, 83, 2, 1, 2};
  MemoryBank& bank = k->registration().bank();
  bank.memories.fill(memory);
  for (int thru : {0, 1, 2}) {
    k->c_memory_Click(7);
    k->Rec_button_Click();
    k->s.settings.ThruMode = static_cast<i16>(thru);
    k->RESET_Click();
    EXPECT_EQ(bank.live, kInitialRegistration);
    for (int slot = 1; slot <= 24; ++slot) EXPECT_EQ(bank.memory(slot), memory) << slot;
    EXPECT_EQ(k->registration().currentMemory(), 1);
    const CombinationsView& v = k->registration().view();
    EXPECT_EQ(v.recButton.lamp, Lamp::Unlit);
    EXPECT_EQ(v.greatDivision.lamp, thru == 1 ? Lamp::Lit : Lamp::Inactive) << thru;
    EXPECT_EQ(v.pedalDivision.lamp, Lamp::Inactive);
    EXPECT_EQ(v.fixedMemoryBar[4].lamp, Lamp::Inactive);
    EXPECT_EQ(k->panel.resetButton().lamp, Lamp::Unlit);
    EXPECT_TRUE(k->sound().view().menu[MenuItem::ReverbChurch].checked);
    EXPECT_TRUE(k->sound().view().menu[MenuItem::Equal].checked);
  }
}

class Setup : public ConsoleTest {};

// Two output devices: index 2 is "No device", beyond it is an error.
TEST_F(Setup, ASavedIndexAtStartUp) {
  const std::tuple<i16, bool, bool> rows[] = {
      {1, true, false}, {2, false, false}, {3, false, true}, {-1, false, true}};
  for (const auto& [index, opened, complains] : rows) {
    SCOPED_TRACE(index);
    k = std::make_unique<Console>(ConsoleWorld{user, loop, in1, in2, out, dir});
    out.close();
    user.messages.clear();
    startWith(2, 2, index);
    EXPECT_EQ(out.isOpen(), opened);
    EXPECT_EQ(std::count(user.messages.begin(), user.messages.end(),
                         "Setup not valid! Please delete KALVANT.CFG and retry!"),
              complains ? 1 : 0);
  }
}

TEST_F(Setup, WithoutDevicesEveryListHoldsOnlyNoDevice) {
  midi::MemoryMidiInput none1{{}, loop.post()}, none2{{}, loop.post()};
  midi::MemoryMidiOutput noneOut{{}, loop.post()};
  Console bare({user, loop, none1, none2, noneOut, dir});
  loop.onTimer = [&] { bare.Timer1_Timer(); };
  bare.Form_Load();
  const ports::SetupView& v = bare.midiSetup().view();
  for (const auto* list : {&v.input1Devices, &v.input2Devices, &v.outputDevices}) {
    EXPECT_EQ(*list, std::vector<std::string>{"No device"});
  }
  bare.SetMidi_Click();
  bare.Setup_OK_Click();
  EXPECT_EQ(none1.openCount + none2.openCount + noneOut.openCount, 0);
}

TEST_F(Setup, OkOpensTheChosenDevicesAndResets) {
  startWith(2, 2, 2);  // nothing assigned
  k->SetMidi_Click();
  k->InputDev1Combo_Click(1);
  k->outputDevcombo_Click(0);
  k->Setup_Slider1_Scroll(130);  // held to the slider's range
  EXPECT_EQ(k->midiSetup().view().sysexDelayText, "100");
  sent.clear();
  k->Setup_OK_Click();
  EXPECT_EQ(in1.openedDevice, 1);
  EXPECT_FALSE(in2.isOpen());
  EXPECT_EQ(out.openedDevice, 0);
  EXPECT_EQ(k->s.settings.SysexDelay, 100);
  // The temperaments are refreshed, then the reset reaches the new output.
  EXPECT_EQ(sentEntries(),
            (std::vector<int>{101, 102, 103, 100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103}));
}

TEST_F(Setup, CancelAndTheCloseBoxRestoreDelaysAndReopenTheOldPorts) {
  for (bool closeBox : {false, true}) {
    startWith(0, 2, 1);
    k->s.settings.NoteDelay = 100;
    k->s.settings.SysexDelay = 0;
    const int opens = out.openCount;
    k->SetMidi_Click();
    EXPECT_FALSE(out.isOpen());  // closed while the dialog is open
    EXPECT_FALSE(in1.isOpen());
    k->Setup_Slider1_Scroll(55);
    k->Setup_Slider2_Scroll(400);
    k->outputDevcombo_Click(0);
    closeBox ? k->Setup_Close() : k->Setup_CANCEL_Click();
    EXPECT_EQ(k->s.settings.SysexDelay, 0) << closeBox;
    EXPECT_EQ(k->s.settings.NoteDelay, 100) << closeBox;
    EXPECT_EQ(out.openedDevice, 1) << closeBox;
    EXPECT_EQ(out.openCount, opens + 1);
    EXPECT_TRUE(in1.isOpen());
  }
}

TEST_F(Setup, ListsAreFilledAgainAfterATableLoadAndABadIndexStopsTheDialog) {
  startWith(2, 2, 0);
  k->CARICAMENTO_DAT();  // as the editor's Enable does
  user.messages.clear();
  k->SetMidi_Click();
  EXPECT_TRUE(user.messages.empty()) << user.messages.front();
  EXPECT_EQ(k->midiSetup().view().outputDevices,
            (std::vector<std::string>{"GS Module", "Synth", "No device"}));
  k->Setup_OK_Click();
  k->s.settings.OutDev = 5;
  k->SetMidi_Click();
  EXPECT_EQ(user.messages,
            std::vector<std::string>{"MIDI DEVICES ACK ERROR : PLEASE EXIT,DELETE "
                                     "KALVANT.CFG FILE, RESTART AND RETRY MIDI SETUP"});
  EXPECT_FALSE(k->midiSetup().view().visible);
}

// The built-in synthesizer's settings, as the console hands them over.
struct FakeSynth : midi::BuiltInSynthControl {
  std::vector<midi::SynthChoice> applied;
  std::string failure;  // apply() fails with it when set
  std::function<void()> onApply;
  midi::SynthChoice saved(std::string&) override { return {"auto", ""}; }
  std::vector<std::string> audioDrivers() override { return {"auto", "alsa", "jack"}; }
  std::string soundfontFile(const midi::SynthChoice& c) override {
    return c.soundfont.empty() ? "/usr/share/default.sf2" : c.soundfont;
  }
  bool apply(const midi::SynthChoice& c, std::string& error) override {
    applied.push_back(c);
    if (onApply) onApply();
    error = failure;
    return failure.empty();
  }
};

class SynthSetup : public Setup {
 protected:
  FakeSynth synth;
  SynthSetup() {
    k = std::make_unique<Console>(ConsoleWorld{user, loop, in1, in2, out, dir, &synth});
    startWith(2, 2, 0);
  }
};

TEST_F(SynthSetup, OkAppliesTheChoiceOnceBeforeThePortsReopen) {
  k->SetMidi_Click();
  EXPECT_EQ(k->midiSetup().view().synth.soundfontShown, "/usr/share/default.sf2");
  k->SynthDriver_Click(2);
  user.pickedFiles = {"/home/o/organ.sf2"};
  k->SynthSoundfont_Browse();
  EXPECT_EQ(user.fileDialogs, std::vector<std::string>{"Soundfont|.sf2"});
  EXPECT_EQ(k->midiSetup().view().synth.soundfontShown, "/home/o/organ.sf2");
  bool outputOpenAtApply = true;
  synth.onApply = [&] { outputOpenAtApply = out.isOpen(); };
  k->Setup_OK_Click();
  EXPECT_EQ(synth.applied, (std::vector<midi::SynthChoice>{{"jack", "/home/o/organ.sf2"}}));
  EXPECT_FALSE(outputOpenAtApply);
  EXPECT_TRUE(out.isOpen());
}

TEST_F(SynthSetup, OnlyAChangedOkAppliesAndAFailureIsTold) {
  for (int end : {0, 1, 2}) {  // CANCEL, the close box, OK with nothing changed
    k->SetMidi_Click();
    if (end != 2) k->SynthDriver_Click(1), k->SynthSoundfont_Default();
    end == 0 ? k->Setup_CANCEL_Click() : end == 1 ? k->Setup_Close() : k->Setup_OK_Click();
  }
  EXPECT_TRUE(synth.applied.empty());
  synth.failure = "cannot write kalvant-synth.ini";
  k->SetMidi_Click();
  k->SynthDriver_Click(1);
  user.messages.clear();
  k->Setup_OK_Click();
  EXPECT_EQ(user.messages, std::vector<std::string>{"cannot write kalvant-synth.ini"});
  EXPECT_TRUE(out.isOpen());
}

}  // namespace
}  // namespace kalvant::test

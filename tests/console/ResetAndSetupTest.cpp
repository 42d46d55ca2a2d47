// RESET, and the MIDI device setup dialog with its port sequences.

#include <algorithm>

#include "console/CfgFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class Reset : public ConsoleTest {
 protected:
  Reset() {
    k->s.StopsTable = taggedTable();
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
    k->RESET_Click();
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
  k->s.bank.memories.fill(memory);
  k->s.bank.pending = k->s.bank.live = memory;
  k->s.RecArmed = true;
  k->s.LedGreen = true;
  k->s.CurrentMemory = 7;
  for (int thru : {0, 1, 2}) {
    k->s.settings.ThruMode = static_cast<i16>(thru);
    k->RESET_Click();
    EXPECT_EQ(k->s.bank.pending, kInitialRegistration);
    EXPECT_EQ(k->s.bank.live, kInitialRegistration);
    for (int slot = 1; slot <= 24; ++slot) EXPECT_EQ(k->s.bank.memory(slot), memory) << slot;
    EXPECT_FALSE(k->s.RecArmed);
    EXPECT_FALSE(k->s.LedGreen);
    EXPECT_EQ(k->s.CurrentMemory, 1);
    const Panel& p = k->panel;
    EXPECT_EQ(p.GREAT.lamp, thru == 1 ? Lamp::Lit : Lamp::Inactive) << thru;
    EXPECT_EQ(p.SWELL.lamp, Lamp::Inactive);
    EXPECT_EQ(p.PEDALE.lamp, Lamp::Inactive);
    EXPECT_EQ(p.Tiranti[50].lamp, Lamp::Lit);
    EXPECT_EQ(p.Graduatore[4].lamp, Lamp::Inactive);
    EXPECT_EQ(p.UNPII.lamp, Lamp::Unlit);
    EXPECT_EQ(p.RESET.lamp, Lamp::Unlit);
    EXPECT_EQ(p.Label1[1].text, "C");
    EXPECT_TRUE(p.checked("Reverb1"));
    EXPECT_TRUE(p.checked("Equal"));
  }
}

TEST_F(Reset, ResetButtonIsLitWhileTheResetRuns) {
  Lamp duringPause = Lamp::Unlit;
  loop.at(loop.now + 10, [&] { duringPause = k->panel.RESET.lamp; });
  k->RESET_Click();
  EXPECT_EQ(duringPause, Lamp::Lit);
}

class Setup : public ConsoleTest {
 protected:
  // Start-up with a configuration naming the given devices.
  void startWith(i16 in1, i16 in2, i16 outDev) {
    CfgData cfg;
    cfg.settings.DatFilePath = path("kalvant.dat");
    cfg.settings.InDev1 = in1;
    cfg.settings.InDev2 = in2;
    cfg.settings.OutDev = outDev;
    cfg.fixedMemories.fill(kInitialRegistration);
    writeFile("KALVANT.CFG", serialiseCfg(cfg));
    writeTable("kalvant.dat", taggedTable());
    k->Form_Load();
  }
};

struct SavedIndex {
  i16 out;
  bool opened;
  bool complains;
};

class SetupSavedIndex : public Setup, public ::testing::WithParamInterface<SavedIndex> {};

// Two output devices: index 2 is "No device", beyond it is an error.
TEST_P(SetupSavedIndex, AtStartUp) {
  const SavedIndex c = GetParam();
  startWith(2, 2, c.out);
  EXPECT_EQ(out.isOpen(), c.opened);
  const bool complained = std::count(user.messages.begin(), user.messages.end(),
                                     "Setup not valid! Please delete KALVANT.CFG and retry!") == 1;
  EXPECT_EQ(complained, c.complains);
}

INSTANTIATE_TEST_SUITE_P(Indexes, SetupSavedIndex,
                         ::testing::Values(SavedIndex{1, true, false}, SavedIndex{2, false, false},
                                           SavedIndex{3, false, true},
                                           SavedIndex{-1, false, true}));

TEST_F(Setup, WithoutDevicesEveryListHoldsOnlyNoDevice) {
  midi::MemoryMidiInput none1{{}, loop.post()}, none2{{}, loop.post()};
  midi::MemoryMidiOutput noneOut{{}, loop.post()};
  Console bare({user, loop, none1, none2, noneOut, dir});
  loop.onTimer = [&] { bare.Timer1_Timer(); };
  bare.Form_Load();
  const SetupView& v = bare.panel.Set_up;
  for (const auto* list : {&v.InputDev1Combo, &v.InputDev2Combo, &v.outputDevcombo}) {
    EXPECT_EQ(*list, std::vector<std::string>{"No device"});
  }
  EXPECT_EQ(bare.s.NoDeviceOut, 0);
  bare.SetMidi_Click();
  EXPECT_TRUE(bare.panel.Set_up.visible);
  bare.Setup_OK_Click();
  EXPECT_EQ(none1.openCount + none2.openCount + noneOut.openCount, 0);
}

TEST_F(Setup, OkOpensTheChosenDevicesAndResets) {
  startWith(2, 2, 2);  // nothing assigned
  k->SetMidi_Click();
  ASSERT_TRUE(k->panel.Set_up.visible);
  EXPECT_EQ(k->panel.Set_up.outputSelected, 2);
  k->InputDev1Combo_Click(1);
  k->outputDevcombo_Click(0);
  k->Setup_Slider1_Scroll(30);
  EXPECT_EQ(k->panel.Set_up.UserDelay, "30");
  sent.clear();
  k->Setup_OK_Click();
  EXPECT_FALSE(k->panel.Set_up.visible);
  EXPECT_EQ(in1.openedDevice, 1);
  EXPECT_FALSE(in2.isOpen());
  EXPECT_EQ(out.openedDevice, 0);
  EXPECT_EQ(k->s.settings.InDev1, 1);
  EXPECT_EQ(k->s.settings.OutDev, 0);
  EXPECT_EQ(k->s.settings.SysexDelay, 30);
  // The temperament menu is refreshed, then the reset reaches the new output.
  const std::vector<int> entries = sentEntries();
  ASSERT_GE(entries.size(), 4u);
  EXPECT_EQ(std::vector<int>(entries.begin(), entries.begin() + 4),
            (std::vector<int>{101, 102, 103, 100}));
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
    EXPECT_TRUE(out.isOpen()) << closeBox;
    EXPECT_EQ(out.openedDevice, 1) << closeBox;
    EXPECT_EQ(out.openCount, opens + 1);
    EXPECT_TRUE(in1.isOpen());
    EXPECT_FALSE(k->panel.Set_up.visible);
  }
}

TEST_F(Setup, ListsAreFilledAgainAfterAnotherTableWasLoaded) {
  startWith(2, 2, 0);
  k->SetMidi_Click();
  k->Setup_OK_Click();
  k->CARICAMENTO_DAT();  // as the editor's Enable does; it sets DeviceListsReady
  user.messages.clear();
  k->SetMidi_Click();
  EXPECT_TRUE(user.messages.empty()) << user.messages.front();
  EXPECT_TRUE(k->panel.Set_up.visible);
  EXPECT_EQ(k->panel.Set_up.outputDevcombo,
            (std::vector<std::string>{"GS Module", "Synth", "No device"}));
}

TEST_F(Setup, ASavedIndexBeyondTheListStopsTheDialog) {
  startWith(2, 2, 2);
  k->s.settings.OutDev = 5;
  user.messages.clear();
  k->SetMidi_Click();
  EXPECT_EQ(user.messages,
            std::vector<std::string>{"MIDI DEVICES ACK ERROR : PLEASE EXIT,DELETE KALVANT.CFG "
                                     "FILE, RESTART AND RETRY MIDI SETUP"});
  EXPECT_FALSE(k->panel.Set_up.visible);
}

}  // namespace
}  // namespace kalvant::test

// The console's input handlers on in-memory ports: what the module receives
// when the keyboards play, and the commands they give.

#include <algorithm>
#include <array>

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using midi::Bytes;

class Input : public ConsoleTest {
 public:
  Input() {
    for (midi::MidiInput* in :
         {static_cast<midi::MidiInput*>(&in1), static_cast<midi::MidiInput*>(&in2)}) {
      in->selectDevice(0);
      in->setFilter(254, true);
      in->open();
      in->start();
    }
    startPlaying();
  }
  // Plays messages into an input and lets the console handle them.
  void play(midi::MemoryMidiInput& in, std::initializer_list<Bytes> messages) {
    for (const Bytes& m : messages) in.inject(m);
    loop.runPosted();
  }
  std::vector<Bytes> take() {
    std::vector<Bytes> b = bytesSent();
    sent.clear();
    return b;
  }
};

TEST_F(Input, NotesAreForwardedWithTheNoteDelayAfterEach) {
  k->s.settings.NoteDelay = 100;
  play(in1, {{0x90, 60, 100}, {0x80, 60, 64}, {0xC4, 5}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x90, 60, 100}, {0x80, 60, 64}, {0xC4, 5}}));
  EXPECT_EQ(loop.pausedMicroseconds, 3 * 1000);  // 100 x 10 us after every message
  EXPECT_EQ(in1.queueCount(), 0);
}

TEST_F(Input, SustainPedalTurnsAKeyIntoAMemoryRecall) {
  k->s.bank.memory(3) = {127, 127, 20, 0, 50, 0, 80, 0, 0, 1};
  play(in1, {{0xB0, 64, 127}, {0x90, 62, 100}});
  EXPECT_EQ(sentEntries(), std::vector<int>{20});  // memory 3's Great stop
  EXPECT_FALSE(k->s.CommandArmed);
  sent.clear();
  play(in1, {{0x90, 62, 0}, {0xB0, 64, 0}});
  EXPECT_EQ(take(),
            (std::vector<Bytes>{{0x90, 62, 0}}));  // the release passes, pedal up does nothing
}

TEST_F(Input, PedalDownAndUpWithoutAKeySendsPanic) {
  play(in2, {{0xB1, 64, 127}, {0xB1, 64, 0}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0xB0, 123, 0},
                                        {0xB0, 123, 0},
                                        {0xB1, 123, 0},
                                        {0xB1, 123, 0},
                                        {0xB2, 123, 0},
                                        {0xB2, 123, 0}}));
}

TEST_F(Input, AHeldKeyIsReleasedWhereItsNoteWent) {
  struct Case {
    const char* what;
    std::function<void()> change;  // made while the key is down
    Bytes on;
    std::vector<Bytes> expectOn, expectOff;
  };
  const Case cases[] = {
      {"active division changes",
       [&] { k->SWELL_Click(); },
       {0x90, 60, 90},
       {{0x90, 60, 90}},
       {{0x80, 60, 0}}},
      {"coupler switched off",
       [&] { k->UNI_II_Click(); },
       {0x90, 62, 90},
       {{0x90, 62, 90}, {0x91, 62, 90}},
       {{0x80, 62, 0}, {0x81, 62, 0}}},
      {"thru mode changes",
       [&] { k->s.settings.ThruMode = 0; },
       {0x94, 64, 90},
       {{0x90, 64, 90}},
       {{0x80, 64, 0}}},
  };
  k->s.settings.ThruMode = 1;
  for (const Case& c : cases) {
    k->s.settings.ThruMode = 1;
    k->GREAT_Click();
    if (std::string(c.what) == "coupler switched off") k->UNI_II_Click();
    take();
    play(in1, {c.on});
    EXPECT_EQ(take(), c.expectOn) << c.what;
    c.change();
    play(in1, {{static_cast<std::uint8_t>(0x80 | (c.on[0] & 0x0F)), c.on[1], 0}});
    EXPECT_EQ(take(), c.expectOff) << c.what;
  }
  // A release with no remembered note-on is routed as it comes.
  play(in1, {{0x80, 70, 0}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x80, 70, 0}}));
}

TEST_F(Input, KeysDownWhileTheOutputChangesAreReleasedOnTheOldOne) {
  k->MIDI_DEVICES_ACK();  // the ports are known, so the setup dialog closes them
  k->UNI_II_Click();      // Great to Swell: a Great key sounds twice
  play(in1, {{0x90, 60, 100}, {0x92, 36, 90}});
  take();
  k->SetMidi_Click();
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x80, 60, 64}, {0x81, 60, 64}, {0x82, 36, 64}}));
  k->outputDevcombo_Click(1);
  k->Setup_OK_Click();
  ASSERT_EQ(out.openedDevice, 1);
  take();
  // The new output never had those notes: their releases are not for it.
  play(in1, {{0x80, 60, 64}, {0x92, 36, 0}});
  EXPECT_TRUE(take().empty());
  play(in1, {{0x92, 36, 90}, {0x82, 36, 64}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x92, 36, 90}, {0x82, 36, 64}}));
}

TEST_F(Input, AFloodOfNotesLeavesNoKeySoundingAndTheStatusLineCountsTheDrops) {
  // 100,001 messages arrive before the console handles the first; the
  // queue's limit falls between a note-on and its note-off.
  in1.inject({0xC0, 5});
  for (int i = 0; i < 50000; ++i) {
    const auto key = static_cast<std::uint8_t>(36 + i % 61);
    in1.inject({0x90, key, 100});
    in1.inject({0x80, key, 64});
  }
  loop.runPosted();
  std::array<bool, 128> sounding{};
  for (const Bytes& m : take()) {
    if (m[0] == 0x90) sounding[m[1]] = true;
    if (m[0] == 0x80) sounding[m[1]] = false;
  }
  EXPECT_EQ(std::count(sounding.begin(), sounding.end(), true), 0);
  // 65,536 fit; of the rest every note-on is dropped and every note-off
  // kept, the last 16,209 of them in place of the oldest note-ons.
  EXPECT_EQ(k->panel.MidiStatus.text, "MIDI input 1 overloaded: 33,441 messages dropped");
}

TEST_F(Input, VolumePedalsDifferBetweenTheInputsWhenSlidersAreCoupled) {
  k->s.settings.SlidersCoupled = 1;
  play(in1, {{0xB0, 7, 64}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0xB0, 11, 104}}));
  EXPECT_EQ(k->panel.Slider2.value, 104);  // the knob follows, silently
  play(in2, {{0xB2, 11, 0}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0xB0, 11, 80}, {0xB1, 11, 80}}));
  k->s.settings.SlidersCoupled = 0;
  play(in1, {{0xB2, 7, 100}});  // the Pedal has no volume
  EXPECT_TRUE(take().empty());
}

TEST_F(Input, TheWheelSwitchesTheGreatTremoloOnce) {
  k->s.settings.TremoloValue = 100;
  play(in1, {{0xE0, 0, 76}, {0xE0, 0, 79}, {0xE0, 0, 64}, {0xE0, 0, 76}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0xB0, 1, 100}, {0xB0, 1, 0}}));
}

TEST_F(Input, ThruDialogLearnsAChannelFromAPlayedKey) {
  k->MidiTHRU_Click();
  k->Thru_choose_Click(2);
  const auto& fields = k->panel.Thru_form.Custom_Thru_label;
  EXPECT_EQ(fields[0].caption, "channel = 2");
  EXPECT_EQ(fields[1].caption, "channel = 1");
  EXPECT_EQ(fields[2].caption, "channel = 4");
  k->Custom_Thru_label_Click(0);
  play(in2, {{0x94, 60, 100}});
  EXPECT_EQ(fields[0].caption, "Channel = 5");
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x90, 60, 100}}));  // already on the Great
  k->Thru_Close();                                           // the frame's close box acts as OK
  EXPECT_FALSE(k->s.ChannelCapture);
  EXPECT_FALSE(k->panel.Thru_form.visible);
  play(in2, {{0x95, 60, 100}});
  EXPECT_EQ(fields[0].caption, "Channel = 5");

  k->MidiTHRU_Click();  // reopening in mode 2 starts learning again
  EXPECT_EQ(k->s.settings.FixedChannel[0], 1);
  k->Thru_choose_Click(0);
  EXPECT_EQ(fields[1].caption, "Not rechanneled ");
  k->Thru_CANCEL_Click();
  EXPECT_EQ(k->s.settings.ThruMode, 2);
  EXPECT_EQ(k->s.settings.FixedChannel[2], 3);  // the reset table stays
}

TEST_F(Input, ComputerKeysRecallMemories) {
  struct Case {
    bool keyDown;
    int code;
    int memory;
  };
  const Case cases[] = {{true, 112, 1},    {true, 116, 5},   {true, 123, 12},
                        {false, '1', 13},  {false, '9', 21}, {false, '0', 22},
                        {false, '\'', 23}, {false, 236, 24}, {false, '=', 24}};
  for (const Case& c : cases) {
    c.keyDown ? k->Form_KeyDown(c.code, 1) : k->Form_KeyPress(c.code);
    EXPECT_EQ(k->s.CurrentMemory, c.memory) << c.code;
  }
  k->Form_KeyPress('a');
  EXPECT_EQ(k->s.CurrentMemory, 24);
  k->Tiranti_Click(30);
  k->Rec_button_Click();
  k->Form_KeyDown(112, 0);  // F1 with REC stores
  EXPECT_EQ(k->s.bank.memory(1).GreatStop, 30);
  k->Rec_button_Click();
  const Registration fixed1 = k->s.bank.memory(13);
  k->Form_KeyPress('1');  // fixed memories are not stored
  EXPECT_EQ(k->s.bank.memory(13), fixed1);
}

}  // namespace
}  // namespace kalvant::test

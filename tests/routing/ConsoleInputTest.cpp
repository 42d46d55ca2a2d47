#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using midi::Bytes;

class ConsoleInput : public ConsoleTest {
 public:
  ConsoleInput() {
    in1.selectDevice(0), in1.open(), in1.start();
    startPlaying();
  }
  std::vector<Bytes> play(std::initializer_list<Bytes> messages) {
    sent.clear();
    for (const Bytes& m : messages) in1.inject(m);
    loop.runPosted();
    return bytesSent();
  }
};

// The box CLEAR raises from keyboard 1 does not hold keyboard 1 back.
TEST_F(ConsoleInput, NotesPlayOnWhileABoxRaisedFromTheSameKeyboardIsOpen) {
  k->Rec_button_Click(), k->c_memory_Click(1);  // a free memory stored: CLEAR asks
  std::vector<Bytes> duringBox;
  user.whileOpen = [&] {
    sent.clear(), in1.inject({0x90, 60, 100}), in1.inject({0x80, 60, 0}), loop.runPosted();
    duringBox = bytesSent();
  };
  play({{0xB0, 64, 127}, {0x90, 57, 100}});
  ASSERT_EQ(user.questions.size(), 1u);
  EXPECT_EQ(duringBox, (std::vector<Bytes>{{0x90, 60, 100}, {0x80, 60, 0}}));
  EXPECT_FALSE(k->router().commandArmed());
}

TEST_F(ConsoleInput, KeyCommandsReachTheirEntryPoints) {
  k->s.settings.TremoloValue = 100;
  const std::tuple<int, int, std::vector<Bytes>> rows[] = {
      {1, 49, {{0xB1, 1, 100}}},               // the Swell tremolo on
      {0, 91, {{0xB0, 1, 0}, {0xB1, 1, 95}}},  // the rate, heard by both tremolos
      {0, 95, {{0xB0, 11, 122}}}};             // Great volume down
  for (const auto& [division, key, bytes] : rows) {
    sent.clear();
    k->Total_Recall(key, division);
    EXPECT_EQ(bytesSent(), bytes) << key;
  }
  sent.clear();
  k->Total_Recall(89, 0);
  EXPECT_EQ(sentEntries(), (std::vector<int>{110, 111, 112}));  // Kirnberger
  k->Total_Recall(51, 2);
  k->Total_Recall(53, 0);
  EXPECT_EQ(k->registration().view().swellToPedal.lamp, Lamp::Lit);
  EXPECT_EQ(k->registration().view().recButton.lamp, Lamp::Lit);
}

TEST_F(ConsoleInput, KeysDownWhileTheOutputChangesAreReleasedOnTheOldOne) {
  k->MIDI_DEVICES_ACK();  // the ports are known, so the setup dialog closes them
  play({{0x90, 60, 100}});
  sent.clear();
  k->SetMidi_Click();
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0x80, 60, 64}}));
  k->outputDevcombo_Click(1);
  k->Setup_OK_Click();
  ASSERT_EQ(out.openedDevice, 1);
  EXPECT_TRUE(play({{0x80, 60, 64}}).empty());
}

}  // namespace
}  // namespace kalvant::test

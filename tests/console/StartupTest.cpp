// Start-up and shutdown: what is opened, asked and written.

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class Startup : public ConsoleTest {
 protected:
  Startup() { startWith(2, 2, 0); }                                     // the output only
  void storeAMemory() { k->Rec_button_Click(), k->c_memory_Click(1); }  // then unsaved
};

TEST_F(Startup, OpensTheAssignedPortsAndShowsTheInitialRegistration) {
  EXPECT_EQ(std::pair(out.openCount, in1.openCount + in2.openCount), std::pair(1, 0));
  // Reset and set-up entries, the reverb (Church), the Equal temperaments (paced as Reset).
  EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103}));
  const CombinationsView& r = k->registration().view();
  for (int i = 10; i <= 99; ++i)
    EXPECT_EQ(r.stopButtons[i].lamp, i == 10 || i == 50 || i == 80 ? Lamp::Lit : Lamp::Unlit) << i;
  EXPECT_EQ(k->sound().view().greatVolume.value, 127);
  EXPECT_EQ(r.memoryLeds[7].picturePath, path("green-off.gif"));
  EXPECT_EQ(std::pair(k->registration().bank().live, k->registration().bank().memory(5)),
            std::pair(kInitialRegistration, kInitialRegistration));
}

TEST_F(Startup, ShutdownAsksForUnsavedMemoriesThenSendsResetAndFullOrgan) {
  storeAMemory();
  k->s.settings.NoteDelay = 42;  // would change the file if it were written
  const std::string cfgBefore = readFile("KALVANT.CFG");
  bool cancel = false;
  user.answers = {false, true}, sent.clear(), k->Form_Unload(cancel);
  EXPECT_TRUE(cancel && sent.empty() && !k->ended());
  EXPECT_EQ(user.questions,
            std::vector<std::string>{"The free memories are not saved. Exit anyway?"});
  EXPECT_EQ(readFile("KALVANT.CFG"), cfgBefore);
  k->Form_Unload(cancel = false);
  EXPECT_TRUE(!cancel && k->ended() && !out.isOpen());
  EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1}));
}

TEST_F(Startup, ExitMenuAsksTheWindowToClose) {
  int requests = 0;
  k->requestClose = [&] { ++requests; };
  k->exit_Click();
  EXPECT_EQ(requests, 1);
}

// A close request inside the reset's pauses: Schedule.ShutdownClosesThePortsOnceTheResetHasLeft.
TEST_F(Startup, ACloseRequestDuringTheExitQuestionIsIgnored) {
  storeAMemory(), sent.clear(), k->s.settings.SysexDelay = 10;
  bool innerCancel = false, cancel = false;
  user.whileOpen = [&] { user.whileOpen = nullptr, k->Form_Unload(innerCancel); };
  user.answers = {true};
  k->Form_Unload(cancel);  // cancelled until the reset has left
  EXPECT_TRUE(innerCancel && cancel && !k->ended());
  loop.drain();
  EXPECT_TRUE(k->ended());
  EXPECT_EQ(user.questions.size(), 1u);
  EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1}));
}

// Closed while the damaged file's message is open: "fixed.fix" was not read
// yet, so nothing may be saved, and the rest of the start-up does not run.
TEST(StartupMessage, ACloseRequestDuringItSavesNothingUnread) {
  ConsoleTest t;
  t.writeTable("kalvant.dat", taggedTable());
  t.writeFixed(std::vector<Registration>(12, Registration{.GreatStop = 33}));
  t.writeFile("KALVANT.CFG", "damaged\r\n");
  bool cancel = false;
  t.user.whileOpen = [&] { t.user.whileOpen = nullptr, t.k->Form_Unload(cancel); };
  t.k->Form_Load();
  EXPECT_TRUE(!cancel && t.k->ended());
  EXPECT_EQ(std::pair(t.user.messages.size(), t.out.openCount), std::pair(1ul, 0));
  EXPECT_EQ(t.readFile("KALVANT.CFG"), "damaged\r\n");
}

TEST(EstraeNome, TakesTheTextAfterTheLastSeparator) {
  const char* rows[][2] = {{"C:\\KALVANT\\organ.dat", "organ.dat"},
                           {"/home/o/kalvant/organ.dat", "organ.dat"},
                           {"organ.dat", "organ.dat"},
                           {"C:\\KALVANT\\", ""},
                           {"", ""},
                           {"mixed/dir\\name.sqs", "name.sqs"}};
  for (const auto& [in, expected] : rows) {
    std::string name = "stale";
    Estrae_nome(in, name);
    EXPECT_EQ(name, expected) << in;
  }
}

}  // namespace
}  // namespace kalvant::test

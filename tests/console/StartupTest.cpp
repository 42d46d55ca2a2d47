// Start-up and shutdown: what is opened, asked and written.

#include "registration/MemoryFileFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class Startup : public ConsoleTest {
 protected:
  Startup() { startWith(2, 2, 0); }  // the output only
  void storeAMemory() {              // the free memories are then unsaved
    k->Rec_button_Click();
    k->c_memory_Click(1);
  }
};

TEST_F(Startup, OpensTheAssignedPortsAndShowsTheInitialRegistration) {
  EXPECT_EQ(out.openCount, 1);
  EXPECT_EQ(in1.openCount + in2.openCount, 0);
  const CombinationsView& r = k->registration().view();
  for (int i = 10; i <= 99; ++i)
    EXPECT_EQ(r.stopButtons[i].lamp, i == 10 || i == 50 || i == 80 ? Lamp::Lit : Lamp::Unlit) << i;
  EXPECT_EQ(k->sound().view().greatVolume.value, 127);
  EXPECT_EQ(r.memoryLeds[7].picturePath, path("green-off.gif"));
  EXPECT_EQ(k->registration().bank().live, kInitialRegistration);
  EXPECT_EQ(k->registration().bank().memory(5), kInitialRegistration);
}

TEST_F(Startup, ShutdownAsksForUnsavedMemoriesThenSendsResetAndFullOrgan) {
  storeAMemory();
  k->s.settings.NoteDelay = 42;  // would change the file if it were written
  const std::string cfgBefore = readFile("KALVANT.CFG");
  sent.clear();
  user.answers = {false, true};
  bool cancel = false;
  k->Form_Unload(cancel);
  EXPECT_TRUE(cancel);
  EXPECT_EQ(user.questions, std::vector<std::string>{"Free memories unsaved : exit anyway?"});
  EXPECT_TRUE(sent.empty());
  EXPECT_FALSE(k->ended());
  EXPECT_EQ(readFile("KALVANT.CFG"), cfgBefore);
  k->Form_Unload(cancel = false);
  EXPECT_FALSE(cancel);
  EXPECT_TRUE(k->ended());
  EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1}));
  EXPECT_FALSE(out.isOpen());
}

TEST_F(Startup, ExitMenuAsksTheWindowToClose) {
  int requests = 0;
  k->requestClose = [&] { ++requests; };
  k->exit_Click();
  EXPECT_EQ(requests, 1);
}

TEST_F(Startup, ACloseRequestDuringShutdownIsIgnored) {
  for (bool duringQuestion : {false, true}) {
    SCOPED_TRACE(duringQuestion);
    if (duringQuestion) {
      k = std::make_unique<Console>(ConsoleWorld{user, loop, in1, in2, out, dir});
      startWith(2, 2, 0);
      storeAMemory();
    }
    sent.clear();
    user.questions.clear();
    k->s.settings.SysexDelay = 10;
    bool innerCancel = false, cancel = false;
    auto closeAgain = [&] { k->Form_Unload(innerCancel); };
    if (duringQuestion) {
      user.whileOpen = [&] { user.whileOpen = nullptr, closeAgain(); };
      user.answers = {true};
    } else {
      loop.at(loop.now + 5, closeAgain);  // inside a pause
    }
    k->Form_Unload(cancel);
    EXPECT_TRUE(innerCancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(user.questions.size(), duringQuestion ? 1u : 0u);
    EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1}));
  }
}

// Closed while the start-up message is open: "fixed.fix" was not read yet,
// so nothing may be saved, and the rest of the start-up does not run.
TEST(StartupMessage, ACloseRequestDuringItSavesNothingUnread) {
  for (const char* cfg : {static_cast<const char*>(nullptr), "damaged\r\n"}) {
    SCOPED_TRACE(cfg ? cfg : "first start");
    struct Fresh : ConsoleTest {
      void TestBody() override {}
    } t;
    t.writeTable("kalvant.dat", taggedTable());
    MemoryFileData fixed;
    fixed.records.assign(12, Registration{.GreatStop = 33});
    std::string error;
    ASSERT_TRUE(writeMemoryFile(t.path("fixed.fix"), fixed, error)) << error;
    if (cfg) t.writeFile("KALVANT.CFG", cfg);
    bool cancel = false;
    t.user.whileOpen = [&] { t.user.whileOpen = nullptr, t.k->Form_Unload(cancel); };
    t.k->Form_Load();
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(t.k->ended());
    EXPECT_EQ(t.user.messages.size(), 1u);
    EXPECT_EQ(t.out.openCount, 0);
    EXPECT_EQ(t.readFile("KALVANT.CFG"), cfg ? cfg : "");
    EXPECT_EQ(t.exists("KALVANT.CFG"), cfg != nullptr);
  }
}

TEST(EstraeNome, TakesTheTextAfterTheLastSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\KALVANT\\organ.dat", "organ.dat"},
      {"/home/o/kalvant/organ.dat", "organ.dat"},
      {"organ.dat", "organ.dat"},
      {"C:\\KALVANT\\", ""},
      {"", ""},
      {"mixed/dir\\name.sqs", "name.sqs"},
  };
  for (const auto& [in, expected] : cases) {
    std::string outName = "stale";
    Estrae_nome(in, outName);
    EXPECT_EQ(outName, expected) << in;
  }
}

}  // namespace
}  // namespace kalvant::test

// Start-up and shutdown: what the module receives, in order, and what is
// asked and written.

#include "console/CfgFormat.h"
#include "registration/MemoryFileFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

class Startup : public ConsoleTest {
 protected:
  // A configuration with the output on the first device and both inputs on
  // "No device" (the position after the two devices of each list).
  void assignOutputOnly() {
    CfgData cfg;
    cfg.settings.DatFilePath = path("kalvant.dat");
    cfg.settings.OutDev = 0;
    cfg.settings.InDev1 = 2;
    cfg.settings.InDev2 = 2;
    cfg.fixedMemories.fill(kInitialRegistration);
    writeFile("KALVANT.CFG", serialiseCfg(cfg));
  }
};

TEST_F(Startup, ResetsModuleAndConsoleInItsOrder) {
  writeTable("kalvant.dat", taggedTable());
  assignOutputOnly();
  k->Form_Load();

  // Reset and set-up entries, the reverb (Church), the Equal temperaments.
  EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103}));
  ASSERT_EQ(sent.size(), 12u);
  EXPECT_EQ(sent[1].time - sent[0].time, 50);  // the module's time after its reset
  EXPECT_EQ(sent[2].time - sent[1].time, 50);
  EXPECT_EQ(out.openCount, 1);
  EXPECT_EQ(in1.openCount, 0);
  EXPECT_EQ(in2.openCount, 0);

  const Panel& p = k->panel;
  const CombinationsView& r = k->registration().view();
  EXPECT_EQ(p.windowCaption, "kalvant V2.0");
  EXPECT_EQ(p.windowIconPath, path("flgitaly.ico"));
  for (int i = 10; i <= 99; ++i) {
    const bool initial = i == 10 || i == 50 || i == 80;
    EXPECT_EQ(r.stopButtons[i].lamp, initial ? Lamp::Lit : Lamp::Unlit) << i;
  }
  EXPECT_EQ(k->sound().view().greatVolume.value, 127);
  EXPECT_EQ(k->sound().view().swellVolumeText.text, "127");
  EXPECT_EQ(r.memoryLeds[7].picturePath, path("green-off.gif"));
  EXPECT_EQ(r.memoryLeds[3].tooltip,
            "Load Free Memory N. 3 .If REC ON, push led to store stops. Hotkeys: F1..F12");
  EXPECT_EQ(r.fixedMemoryBar[12].tooltip, "Load Fixed Memory N. 12.  Hotkeys: 1...9, = , ? , ^");
  EXPECT_EQ(k->midiSetup().view().outputDevices,
            (std::vector<std::string>{"GS Module", "Synth", "No device"}));
  EXPECT_EQ(k->midiSetup().noDeviceOut(), 2);
  EXPECT_EQ(k->registration().pending(), kInitialRegistration);
  EXPECT_EQ(k->registration().bank().live, kInitialRegistration);
  EXPECT_EQ(k->registration().bank().memory(5), kInitialRegistration);
  EXPECT_EQ(p.RESET.lamp, Lamp::Unlit);
}

TEST_F(Startup, ShutdownSendsResetAndFullOrganThenClosesThePorts) {
  writeTable("kalvant.dat", taggedTable());
  assignOutputOnly();
  k->Form_Load();
  sent.clear();
  bool cancel = false;
  k->Form_Unload(cancel);
  EXPECT_FALSE(cancel);
  EXPECT_TRUE(k->ended());
  EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1}));
  EXPECT_FALSE(out.isOpen());
  EXPECT_TRUE(user.questions.empty());
}

TEST_F(Startup, UnsavedMemoriesAskBeforeClosing) {
  writeTable("kalvant.dat", taggedTable());
  assignOutputOnly();
  k->Form_Load();
  k->Rec_button_Click();
  k->c_memory_Click(1);  // a memory stored: the free memories are unsaved
  k->s.settings.NoteDelay = 42;  // would change the file if it were written
  const std::string cfgBefore = readFile("KALVANT.CFG");
  sent.clear();

  user.answers = {false};
  bool cancel = false;
  k->Form_Unload(cancel);
  EXPECT_TRUE(cancel);
  EXPECT_EQ(user.questions, std::vector<std::string>{"Free memories unsaved : exit anyway?"});
  EXPECT_TRUE(sent.empty());
  EXPECT_TRUE(out.isOpen());
  EXPECT_FALSE(k->ended());
  EXPECT_EQ(readFile("KALVANT.CFG"), cfgBefore);

  user.answers = {true};
  cancel = false;
  k->Form_Unload(cancel);
  EXPECT_FALSE(cancel);
  EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1}));
}

TEST_F(Startup, ACloseRequestDuringShutdownPausesIsIgnored) {
  writeTable("kalvant.dat", taggedTable());
  assignOutputOnly();
  k->Form_Load();
  sent.clear();
  k->s.settings.SysexDelay = 10;
  bool innerCancel = false;
  loop.at(loop.now + 5, [&] { k->Form_Unload(innerCancel); });
  bool cancel = false;
  k->Form_Unload(cancel);
  EXPECT_TRUE(innerCancel);
  EXPECT_FALSE(cancel);
  EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1}));
}

TEST_F(Startup, ACloseRequestDuringTheUnsavedQuestionIsNotAskedAgain) {
  writeTable("kalvant.dat", taggedTable());
  assignOutputOnly();
  k->Form_Load();
  k->Rec_button_Click();
  k->c_memory_Click(1);  // a memory stored: the free memories are unsaved
  sent.clear();
  bool innerCancel = false;
  user.whileOpen = [&] {
    user.whileOpen = nullptr;
    k->Form_Unload(innerCancel);
  };
  user.answers = {true};
  bool cancel = false;
  k->Form_Unload(cancel);
  EXPECT_TRUE(innerCancel);
  EXPECT_FALSE(cancel);
  EXPECT_EQ(user.questions.size(), 1u);
  EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1}));
}

// Closed while the start-up message is open: the fixed memories from
// "fixed.fix" were not read yet, so nothing may be saved, and the rest of
// the start-up does not run.
TEST_F(Startup, ACloseRequestDuringTheStartupMessageSavesNothingUnread) {
  const struct {
    const char* cfg;  // nullptr: no KALVANT.CFG (the first start)
  } rows[] = {{nullptr}, {"damaged\r\n"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cfg ? row.cfg : "first start");
    struct Fresh : ConsoleTest {
      void TestBody() override {}
    } t;
    t.writeTable("kalvant.dat", taggedTable());
    MemoryFileData fixed;
    fixed.records.assign(12, Registration{.GreatStop = 33});
    std::string error;
    ASSERT_TRUE(writeMemoryFile(t.path("fixed.fix"), fixed, error)) << error;
    if (row.cfg) t.writeFile("KALVANT.CFG", row.cfg);
    bool cancel = false;
    t.user.whileOpen = [&] {
      t.user.whileOpen = nullptr;
      t.k->Form_Unload(cancel);
    };
    t.k->Form_Load();
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(t.k->ended());
    EXPECT_EQ(t.user.messages.size(), 1u);
    EXPECT_EQ(t.out.openCount, 0);
    if (row.cfg)
      EXPECT_EQ(t.readFile("KALVANT.CFG"), row.cfg);
    else
      EXPECT_FALSE(t.exists("KALVANT.CFG"));
  }
}

TEST_F(Startup, ExitMenuAsksTheWindowToClose) {
  int requests = 0;
  k->requestClose = [&] { ++requests; };
  k->exit_Click();
  EXPECT_EQ(requests, 1);
}

TEST(EstraeNome, TakesTheTextAfterTheLastSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\KALVANT\\organ.dat", "organ.dat"},
      {"/home/organist/kalvant/organ.dat", "organ.dat"},
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

// A key played into the console's input port over JACK comes out at the
// module's port on its division channel, with its coupler duplicate.

#include <cstdlib>
#include <filesystem>

#include "console/CfgFile.h"
#include "stops/DatFile.h"
#include "support/JackSupport.h"

namespace kalvant::test {
namespace {

TEST(JackRouting, AKeyReachesTheModuleOnItsDivisionWithTheCoupler) {
  if (!std::getenv("JACK_DEFAULT_SERVER"))
    GTEST_SKIP() << "no JACK test server (run through scripts/test)";
  char pattern[] = "/tmp/kalvant-jack-routing-XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  std::string error;
  ASSERT_TRUE(writeDatFile(dir + "/kalvant.dat", taggedTable(), error)) << error;
  Module module;
  RtMidiOut keyboard(RtMidi::UNIX_JACK, "keyboard");
  keyboard.openVirtualPort("midi_out");
  {
    ConsoleRun run(dir);
    run.k->Form_Load();
    run.k->SetMidi_Click();
    const SetupView& v = run.k->panel.Set_up;
    const int out = positionOf(v.outputDevcombo, "gs-module");
    const int in = positionOf(v.InputDev1Combo, "keyboard");
    ASSERT_GE(out, 0);
    ASSERT_GE(in, 0);
    run.k->outputDevcombo_Click(out);
    run.k->InputDev1Combo_Click(in);
    run.k->Setup_OK_Click();
    module.messages(15);                // the reset
    std::this_thread::sleep_for(50ms);  // let JACK settle the new connections
    run.k->s.settings.ThruMode = 1;
    run.k->SWELL_Click();
    run.k->UNII_I_Click();  // Swell to Great

    const std::vector<unsigned char> on{0x90, 60, 100}, off{0x80, 60, 64};
    keyboard.sendMessage(&on);
    keyboard.sendMessage(&off);
    const auto deadline = Clock::now() + 3s;
    std::vector<midi::Bytes> got;
    while (got.size() < 4 && Clock::now() < deadline) {
      run.loop.waitForEvents();
      for (auto& m : module.messages(0)) got.push_back(m);
    }
    EXPECT_EQ(got, (std::vector<midi::Bytes>{
                       {0x91, 60, 100}, {0x90, 60, 100}, {0x81, 60, 64}, {0x80, 60, 64}}));
    bool cancel = false;
    run.k->Form_Unload(cancel);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kalvant::test

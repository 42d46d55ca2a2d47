// Start-up and shutdown of the console, in their fixed orders.

#include "console/Console.h"

namespace kalvant {

void Console::Form_Load() {
  panel.setWindowCaption("kalvant V2.0");  // size and centring are the window's
  registration_.setLedPictures(programFile("green-on.gif"), programFile("green-off.gif"),
                               programFile("yellow-on.gif"));
  panel.setWindowIconPath(programFile("flgitaly.ico"));
  Scrivi_ToolTips_Led_memorie();
  // The memory row is laid out by the window.
  MIDI_DEVICES_ACK();
  registration_.forgetFixedSaveRequest();
  s.CfgPath = programFile("KALVANT.CFG");
  for (int slot = kFirstFreeMemory; slot < kFirstFixedMemory; ++slot) {
    registration_.bank().memory(slot) = kInitialRegistration;
  }
  // A close request can arrive inside any message box or pause of the
  // start-up (they run nested event loops): what follows it must not run,
  // and the exit must not save settings that were not read in full.
  readingSettings_ = true;
  READ_FILE_AVVIO();
  if (ended_) return;
  readingSettings_ = false;
  MIDI_OPENING();
  if (ended_) return;
  CARICAMENTO_DAT();
  if (ended_) return;
  RESET_Click();
  if (ended_) return;
  // The slider coupling starts as it was saved (clicking the button here
  // would start every run with the opposite); the button shows it.
  sound_.showCouplingButton();
  w_.loop.everySecond([this] { watchDevices(); });
}

void Console::Form_Unload(bool& cancel) {
  // A second close request while the first one is still sending (during its
  // sysex pauses) is ignored: the first one finishes the job.
  if (closing_ || ended_) {
    cancel = true;
    return;
  }
  // Set before the question, so that a close request arriving while it is
  // open is ignored rather than asking a second time.
  closing_ = true;
  if (registration_.freeMemoriesUnsaved() && !ask("Free memories unsaved : exit anyway?")) {
    closing_ = false;
    cancel = true;
    return;
  }
  INVIO_SYSEX(entry::kModuleReset);
  INVIO_SYSEX(entry::kSetupFullOrgan);
  CHIUSURA_PORTE_MIDI();
  if (s.settings.SaveCfgOnExit == 1 && !readingSettings_) Salva_dati_di_avvio();
  ended_ = true;
  router_.publish();  // the driver thread routes nothing more
}

void Console::exit_Click() {
  if (requestClose) requestClose();
}

void Console::Timer1_Timer() {
  sysex_.timerExpired();
}

}  // namespace kalvant

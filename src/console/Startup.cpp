// Start-up and shutdown of the console, in their fixed orders.

#include "console/Console.h"

namespace kalvant {

void Console::Form_Load() {
  panel.setWindowCaption("kalvant V2.0");  // size and centring are the window's
  registration_.setLedPictures(resourceFile("green-on.gif"), resourceFile("green-off.gif"),
                               resourceFile("yellow-on.gif"));
  panel.setWindowIconPath(resourceFile("flgitaly.ico"));
  Scrivi_ToolTips_Led_memorie();
  // The memory row is laid out by the window.
  MIDI_DEVICES_ACK();
  registration_.forgetFixedSaveRequest();
  s.CfgPath = programFile("KALVANT.CFG");
  for (int slot = kFirstFreeMemory; slot < kFirstFixedMemory; ++slot) {
    registration_.bank().memory(slot) = kInitialRegistration;
  }
  // A close request can arrive inside any message box of the start-up (they
  // run nested event loops): what follows it must not run, and the exit must
  // not save settings that were not read in full.
  readingSettings_ = true;
  READ_FILE_AVVIO();
  if (stopping()) return;
  readingSettings_ = false;
  readSequencerSetting();
  MIDI_OPENING();
  if (stopping()) return;
  CARICAMENTO_DAT();
  if (stopping()) return;
  RESET_Click();  // queued: the module hears it while the console plays on
  // The slider coupling starts as it was saved (clicking the button here
  // would start every run with the opposite); the button shows it.
  sound_.showCouplingButton();
  w_.loop.everySecond([this] { watchDevices(); });
  if (firstStart_) offerSetup();
}

// Shutdown resets the module, then closes the ports and saves the settings.
// While the reset is still being sent (paced, or behind what was queued
// before it) the close is cancelled; when it has been sent the window is
// asked to close again and that request ends the console.
void Console::Form_Unload(bool& cancel) {
  if (ended_) return;
  if (closing_) {
    // A second close request while the first one is still sending is
    // ignored: the first one finishes the job.
    if (shutdownSent_) return finishShutdown();
    cancel = true;
    return;
  }
  // Set before the question, so that a close request arriving while it is
  // open is ignored rather than asking a second time.
  closing_ = true;
  if (registration_.freeMemoriesUnsaved() &&
      !ask("The free memories are not saved. Exit anyway?")) {
    closing_ = false;
    cancel = true;
    return;
  }
  INVIO_SYSEX(entry::kModuleReset);
  INVIO_SYSEX(entry::kSetupFullOrgan);
  if (schedule_.idle()) {
    schedule_.seal();
    return finishShutdown();
  }
  cancel = true;
  schedule_.then([this] { shutdownSent(); });
  schedule_.seal();  // the module's last word is its reset
}

void Console::shutdownSent() {
  shutdownSent_ = true;
  if (requestClose) requestClose();
  if (!ended_) finishShutdown();  // no window, or one that did not ask
}

void Console::finishShutdown() {
  CHIUSURA_PORTE_MIDI();
  if (s.settings.SaveCfgOnExit == 1 && !readingSettings_) Salva_dati_di_avvio();
  ended_ = true;
  router_.publish();  // the driver thread routes nothing more
}

void Console::exit_Click() {
  if (requestClose) requestClose();
}

void Console::Timer1_Timer() {
  schedule_.timerExpired();
}

}  // namespace kalvant

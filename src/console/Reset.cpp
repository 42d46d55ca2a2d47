// RESET: the module and the console back to the initial registration.

#include "console/Console.h"

namespace kalvant {

void Console::RESET_Click() {
  RESET_kalvant();
}

void Console::RESET_kalvant() {
  panel.lightResetButton(Lamp::Lit);
  INVIO_SYSEX(entry::kModuleReset);
  Waiting_Timer(50);  // the module needs time after a GS reset
  INVIO_SYSEX(1);
  Waiting_Timer(50);
  INVIO_SYSEX(0);
  INVIO_SYSEX(2);
  registration_.unlightStops();
  INVIO_SYSEX(3);
  registration_.paintFixedBar(0);
  INVIO_SYSEX(4);
  INVIO_SYSEX(5);
  INVIO_SYSEX(6);
  Adjust_Reverb_check();

  registration_.showReset();
  Aggiusta_Check_Menu();
  Scrivi_Label_memorie();
  panel.check(MenuItem::SaveConfigurationOnExit, s.settings.SaveCfgOnExit == 1);
  // Lit until the module has heard the reset.
  schedule_.then([this] { panel.lightResetButton(Lamp::Unlit); });
}

}  // namespace kalvant

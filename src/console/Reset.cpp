// RESET: the module and the console back to the initial registration.

#include "console/Console.h"

namespace kalvant {

void Console::RESET_Click() {
  RESET_kalvant();
}

void Console::RESET_kalvant() {
  panel.paint(panel.RESET, Lamp::Lit);
  INVIO_SYSEX(entry::kModuleReset);
  Waiting_Timer(50);  // the module needs time after a GS reset
  INVIO_SYSEX(1);
  Waiting_Timer(50);
  INVIO_SYSEX(0);
  INVIO_SYSEX(2);
  unlightStops();
  INVIO_SYSEX(3);
  paintFixedBar(0);
  INVIO_SYSEX(4);
  INVIO_SYSEX(5);
  INVIO_SYSEX(6);
  Adjust_Reverb_check();

  s.bank.live = kInitialRegistration;
  s.bank.pending = kInitialRegistration;
  panel.setSlider(panel.Slider1, s.bank.pending.GreatVolume);
  panel.setText(panel.EXPGO, std::to_string(s.bank.pending.GreatVolume));
  panel.setSlider(panel.Slider2, s.bank.pending.SwellVolume);
  panel.setText(panel.EXPSW, std::to_string(s.bank.pending.SwellVolume));

  clearMemoryLeds();
  panel.paint(panel.Tir_TREMOLOGO, Lamp::Unlit);
  panel.paint(panel.TIR_TREMOLOSW, Lamp::Unlit);
  for (ButtonView* b : {&panel.GREAT, &panel.SWELL, &panel.PEDALE}) panel.paint(*b, Lamp::Inactive);
  for (ButtonView* b : {&panel.UNI_II, &panel.UNII_I, &panel.UNPI, &panel.UNPII}) {
    panel.paint(*b, Lamp::Unlit);
  }
  for (int i : {entry::kFirstGreatStop, entry::kFirstSwellStop, entry::kFirstPedalStop}) {
    panel.paint(panel.Tiranti[static_cast<std::size_t>(i)], Lamp::Lit);
  }
  if (s.settings.ThruMode == 1) panel.paint(panel.GREAT, Lamp::Lit);
  Aggiusta_Check_Menu();
  Scrivi_Label_memorie();
  panel.check("EnableCFG", s.settings.SaveCfgOnExit == 1);
  panel.paint(panel.RESET, Lamp::Unlit);
}

}  // namespace kalvant

// Tremolo and division volumes.

#include "console/Console.h"

namespace kalvant {

void Console::Tir_TREMOLOGO_Click() {}
void Console::TIR_TREMOLOSW_Click() {}
void Console::tremoloRate_Click() {}
void Console::Slider1_Scroll() {}
void Console::Slider2_Scroll() {}

void Console::Couplingsliders_Click() {
  Accoppia_Sliders();
}

void Console::Accoppia_Sliders() {
  s.settings.SlidersCoupled = s.settings.SlidersCoupled != 0 ? 0 : 1;
  showCouplingButton();
}

void Console::showCouplingButton() {
  panel.paint(panel.Couplingsliders, s.settings.SlidersCoupled != 0 ? Lamp::Lit : Lamp::Unlit);
}

}  // namespace kalvant

// Temperaments, reverb, tremolo and division volumes.

#include "console/Console.h"

namespace kalvant {

void Console::Temperament_Click(int) {}
void Console::Aggiusta_Check_Menu() {}
void Console::Reverb_Click(int) {}
void Console::Adjust_Reverb_check() {}
void Console::Tir_TREMOLOGO_Click() {}
void Console::TIR_TREMOLOSW_Click() {}
void Console::tremoloRate_Click() {}
void Console::Slider1_Scroll() {}
void Console::Slider2_Scroll() {}
void Console::Couplingsliders_Click() {}

}  // namespace kalvant

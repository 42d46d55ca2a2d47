// Entry points of the sound settings and of the registration.

#include "console/Console.h"

namespace kalvant {

void Console::Tiranti_Click(int Index) {
  registration_.Tiranti_Click(Index);
}
void Console::AGGIORNAMENTO_KALVO() {
  registration_.AGGIORNAMENTO_KALVO();
}
void Console::Marca_Led_giallo() {
  registration_.Marca_Led_giallo();
}
void Console::c_memory_Click(int Index) {
  registration_.c_memory_Click(Index);
}
void Console::Graduatore_Click(int Index) {
  registration_.Graduatore_Click(Index);
}
void Console::Rec_button_Click() {
  registration_.Rec_button_Click();
}
void Console::CANCEL_Click() {
  registration_.CANCEL_Click();
}
void Console::Labelmode_Click() {
  registration_.Labelmode_Click();
}
void Console::Scrivi_Label_memorie() {
  registration_.Scrivi_Label_memorie();
}
void Console::Scrivi_ToolTips_Led_memorie() {
  registration_.Scrivi_ToolTips_Led_memorie();
}
void Console::SaveFIXED_Click() {
  registration_.SaveFIXED_Click();
}
void Console::savefile_Click() {
  registration_.savefile_Click();
}
void Console::Loadfile_Click() {
  registration_.Loadfile_Click();
}
void Console::Undo_Click() {
  registration_.Undo_Click();
}
void Console::Tir_TREMOLOGO_Click() {
  registration_.Tir_TREMOLOGO_Click();
}
void Console::TIR_TREMOLOSW_Click() {
  registration_.TIR_TREMOLOSW_Click();
}
void Console::colori_tasti_GOSWPE() {
  registration_.colori_tasti_GOSWPE();
}
void Console::GREAT_Click() {
  registration_.GREAT_Click();
}
void Console::SWELL_Click() {
  registration_.SWELL_Click();
}
void Console::PEDALE_Click() {
  registration_.PEDALE_Click();
}
void Console::UNI_II_Click() {
  registration_.UNI_II_Click();
}
void Console::UNII_I_Click() {
  registration_.UNII_I_Click();
}
void Console::UNPI_Click() {
  registration_.UNPI_Click();
}
void Console::UNPII_Click() {
  registration_.UNPII_Click();
}

void Console::Temperament_Click(int value) {
  sound_.Temperament_Click(value);
}
void Console::Aggiusta_Check_Menu() {
  sound_.Aggiusta_Check_Menu();
}
void Console::TEMPERAMENTO_GO() {
  sound_.TEMPERAMENTO_GO();
}
void Console::TEMPERAMENTO_SWELL() {
  sound_.TEMPERAMENTO_SWELL();
}
void Console::TEMPERAMENTO_PE() {
  sound_.TEMPERAMENTO_PE();
}
void Console::Reverb_Click(int type) {
  sound_.Reverb_Click(type);
}
void Console::Adjust_Reverb_check() {
  sound_.Adjust_Reverb_check();
}
void Console::TREMOLO_GO(int State) {
  sound_.TREMOLO_GO(State);
}
void Console::TREMOLO_SW(int State) {
  sound_.TREMOLO_SW(State);
}
void Console::tremoloRate_Click() {
  sound_.tremoloRate_Click();
}
void Console::Tremolo_Slider1_Scroll(int value) {
  sound_.Tremolo_Slider1_Scroll(value);
}
void Console::Tremolo_OK_Click() {
  sound_.Tremolo_OK_Click();
}
void Console::Tremolo_CANCEL_Click() {
  sound_.Tremolo_CANCEL_Click();
}
void Console::Aggiorna_Tremolo() {
  sound_.Aggiorna_Tremolo();
}
void Console::Slider1_Scroll(int value) {
  sound_.scrollVolume(0, value);
}
void Console::Slider2_Scroll(int value) {
  sound_.scrollVolume(1, value);
}
void Console::moveVolume(int division, int value) {
  sound_.moveVolume(division == 0 ? 0 : 1, value);
}
void Console::Couplingsliders_Click() {
  sound_.Couplingsliders_Click();
}
void Console::Accoppia_Sliders() {
  sound_.Accoppia_Sliders();
}

}  // namespace kalvant

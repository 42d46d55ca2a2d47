// The console's entry points of the routing and the ports, and the routing's
// commands carried out through the console's other entry points.

#include "console/Console.h"

namespace kalvant {

void Console::RouterActions::run(const routing::ConsoleAction& a) {
  using routing::Action;
  switch (a.action) {
    case Action::Nothing:
      return;
    case Action::Memory:
      return k.c_memory_Click(a.value);
    case Action::Stop:
      return k.Tiranti_Click(a.value);
    case Action::BendSwitch:
      return k.bendSwitch(a.value);
    case Action::About:
      return k.About_Click();
    case Action::Rec:
      return k.Rec_button_Click();
    case Action::Division:
      if (a.value == 1) k.GREAT_Click();
      if (a.value == 2) k.SWELL_Click();
      if (a.value == 3) k.PEDALE_Click();
      return;
    case Action::Reset:
      return k.RESET_Click();
    case Action::Clear:
      return k.CANCEL_Click();
    case Action::Temperament:
      return k.Temperament_Click(a.value);
    case Action::Reverb:
      return k.Reverb_Click(a.value);
    case Action::TremoloRate:
      // Both tremolos hear the new rate at once; one that is off gets its
      // off message again.
      k.TREMOLO_GO(k.registration_.pending().GreatTremolo);
      return k.TREMOLO_SW(k.registration_.pending().SwellTremolo);
    case Action::Volume:
      return k.moveVolume(a.division, a.value);
    case Action::RepaintDivisions:
      return k.colori_tasti_GOSWPE();
    case Action::MemoryStep:
      return k.Sequencer_Step(a.value);
  }
}

routing::Keyboards Console::RouterActions::keyboards() const {
  const Registration& r = k.registration_.pending();
  return {r.ActiveManual, r.ManualCoupler, r.PedalCoupler, r.GreatVolume, r.SwellVolume};
}

void Console::bendSwitch(int which) {
  using namespace routing;
  switch (which) {
    case kGreatTremolo:
      return Tir_TREMOLOGO_Click();
    case kManualCouplerIItoI:
      return UNI_II_Click();
    case kSwellTremolo:
      return TIR_TREMOLOSW_Click();
    case kManualCouplerItoII:
      return UNII_I_Click();
    case kPedalCouplerI:
      return UNPI_Click();
    case kPedalCouplerII:
      return UNPII_Click();
  }
}

void Console::MIDIInput1_Message() {
  router_.drain(0, w_.MIDIInput1);
}
void Console::MIDIInput2_Message() {
  router_.drain(1, w_.MIDIInput2);
}
void Console::Total_Recall(int Nota, int Canale) {
  router_.keyCommand(Nota, Canale);
}
void Console::Panic_Click() {
  router_.panic();
}
void Console::Form_KeyDown(int KeyCode, int /*Shift*/) {
  router_.keyDown(KeyCode);
}
void Console::Form_KeyPress(int KeyAscii) {
  router_.keyPress(KeyAscii);
}
void Console::MidiTHRU_Click() {
  router_.openThru();
}
void Console::Thru_choose_Click(int Index) {
  router_.chooseThruMode(Index);
}
void Console::Custom_Thru_label_Click(int Index) {
  router_.chooseCaptureField(Index);
}
void Console::Thru_OK_Click() {
  router_.thruOk();
}
void Console::Thru_CANCEL_Click() {
  router_.thruCancel();
}
void Console::Thru_Close() {
  router_.thruClose();
}
void Console::Thru_Refresh() {
  router_.refreshThru();
}

void Console::MIDI_DEVICES_ACK() {
  midiSetup_.listDevices();
}
void Console::MIDI_OPENING() {
  midiSetup_.openAll();
}
void Console::CHIUSURA_PORTE_MIDI() {
  midiSetup_.closeAll();
}
void Console::SetMidi_Click() {
  if (!midiSetup_.view().visible) {
    moduleStateAtSetup_ = moduleState();
    footSwitchesChosen_ = router_.footSwitches();
  }
  midiSetup_.open();
}

Console::ModuleState Console::moduleState() const {
  const Settings& t = s.settings;
  return {registration_.bank().live, t.GreatTemperament, t.SwellTemperament,
          t.PedalTemperament,        t.TremoloValue,     t.ReverbType};
}

// CANCEL reopens the old devices. A stop, temperament or reverb chosen
// while they were closed went nowhere: the module gets the registration
// the console shows.
void Console::afterSetupCancel() {
  AGGIORNAMENTO_KALVO();
  if (moduleState() != moduleStateAtSetup_) Resend_Click();
}
void Console::InputDev1Combo_Click(int position) {
  midiSetup_.chooseInput1(position);
}
void Console::InputDev2Combo_Click(int position) {
  midiSetup_.chooseInput2(position);
}
void Console::outputDevcombo_Click(int position) {
  midiSetup_.chooseOutput(position);
}
void Console::Setup_Slider1_Scroll(int value) {
  midiSetup_.moveSysexDelay(value);
}
void Console::Setup_Slider2_Scroll(int value) {
  midiSetup_.moveNoteDelay(value);
}
void Console::Setup_OK_Click() {
  saveSequencerSetting();
  midiSetup_.ok();
}
void Console::Setup_CANCEL_Click() {
  footSwitchesChosen_ = router_.footSwitches();
  midiSetup_.cancel();
}
// Closing the dialog by its frame must not leave the organ silent with its
// ports closed: it is a CANCEL.
void Console::Setup_Close() {
  footSwitchesChosen_ = router_.footSwitches();
  midiSetup_.cancel();
}
void Console::SynthDriver_Click(int position) {
  midiSetup_.chooseSynthDriver(position);
}
void Console::SynthSoundfont_Browse() {
  midiSetup_.browseSoundfont();
}
void Console::SynthSoundfont_Default() {
  midiSetup_.defaultSoundfont();
}
void Console::MIDIInput1_Error(int code, const std::string& message) {
  midiSetup_.inputError(code, message);
}
void Console::MIDIInput2_Error(int code, const std::string& message) {
  midiSetup_.inputError(code, message);
}
void Console::MIDIOutput1_Error(int code, const std::string& message) {
  midiSetup_.outputError(code, message);
}
void Console::MIDI_Devices_Changed() {
  if (!ended_ && !closing_) midiSetup_.devicesChanged();
}
void Console::watchDevices() {
  if (!ended_ && !closing_) midiSetup_.poll();
}
// Paced like every sysex; the panel already shows what is resent.
void Console::Resend_Click() {
  registration_.resendLive();
}

void Console::Fine_Setup() {
  Aggiusta_Check_Menu();
  Scrivi_Label_memorie();
  RESET_Click();
}

}  // namespace kalvant

// The MIDI device setup dialog: the ports are closed while it is open, and
// opened again by OK (on the new devices) or CANCEL (on the old ones).

#include <algorithm>

#include "console/CfgFormat.h"
#include "console/Console.h"
#include "console/PortOpening.h"

namespace kalvant {

namespace {

bool validPosition(int position, const std::vector<std::string>& list) {
  return position >= 0 && position < static_cast<int>(list.size());
}

}  // namespace

void Console::SetMidi_Click() {
  SetupView& v = panel.Set_up;
  if (v.visible) return;  // already open: the window brings it to the front
  CHIUSURA_PORTE_MIDI();
  // The lists belong to the loaded dialog; fill them whenever they are
  // empty, whatever the flag says (a table enabled in the editor sets it).
  if (!s.DeviceListsReady || v.outputDevcombo.empty()) {
    v = SetupView{};
    MIDI_DEVICES_ACK();
  }
  s.DeviceListsReady = false;
  const Settings& c = s.settings;
  if (!validPosition(c.InDev1, v.InputDev1Combo) || !validPosition(c.InDev2, v.InputDev2Combo) ||
      !validPosition(c.OutDev, v.outputDevcombo)) {
    tell(
        "MIDI DEVICES ACK ERROR : PLEASE EXIT,DELETE KALVANT.CFG FILE, RESTART AND RETRY MIDI "
        "SETUP",
        MessageIcon::None);
    return;
  }
  // The sliders cannot show a delay outside their range, and CANCEL
  // restores what they showed.
  clampDelays(s.settings);
  InputDev1Combo_Click(c.InDev1);
  InputDev2Combo_Click(c.InDev2);
  outputDevcombo_Click(c.OutDev);
  v.Slider2 = c.NoteDelay;
  v.Label_hang = std::to_string(c.NoteDelay);
  v.Slider1 = c.SysexDelay;
  v.UserDelay = std::to_string(c.SysexDelay);
  s.SavedSysexDelay = c.SysexDelay;
  s.SavedNoteDelay = c.NoteDelay;
  v.visible = true;
  if (panel.onChanged) panel.onChanged();
}

void Console::InputDev1Combo_Click(int position) {
  panel.set(panel.Set_up.input1Selected, position);
  if (position != s.NoDeviceIn1) w_.MIDIInput1.selectDevice(position);
}

void Console::InputDev2Combo_Click(int position) {
  panel.set(panel.Set_up.input2Selected, position);
  if (position != s.NoDeviceIn2) w_.MIDIInput2.selectDevice(position);
}

void Console::outputDevcombo_Click(int position) {
  panel.set(panel.Set_up.outputSelected, position);
  if (position != s.NoDeviceOut) w_.MIDIOutput1.selectDevice(position);
}

void Console::Setup_Slider1_Scroll(int value) {
  s.settings.SysexDelay = static_cast<i16>(std::clamp(value, 0, kMaxSysexDelay));
  panel.set(panel.Set_up.Slider1, static_cast<int>(s.settings.SysexDelay));
  panel.set(panel.Set_up.UserDelay, std::to_string(s.settings.SysexDelay));
}

void Console::Setup_Slider2_Scroll(int value) {
  s.settings.NoteDelay = static_cast<i16>(std::clamp(value, 0, kMaxNoteDelay));
  panel.set(panel.Set_up.Slider2, static_cast<int>(s.settings.NoteDelay));
  panel.set(panel.Set_up.Label_hang, std::to_string(s.settings.NoteDelay));
}

void Console::Setup_OK_Click() {
  const SetupView& v = panel.Set_up;
  if (!v.visible) return;
  if (v.input1Selected != s.NoDeviceIn1) openInput(w_.MIDIInput1, v.input1Selected);
  if (v.input2Selected != s.NoDeviceIn2) openInput(w_.MIDIInput2, v.input2Selected);
  if (v.outputSelected != s.NoDeviceOut) openOutput(w_.MIDIOutput1, v.outputSelected);
  s.settings.InDev1 = static_cast<i16>(v.input1Selected);
  s.settings.InDev2 = static_cast<i16>(v.input2Selected);
  s.settings.OutDev = static_cast<i16>(v.outputSelected);
  Fine_Setup();
  unloadSetup();
}

void Console::Setup_CANCEL_Click() {
  if (!panel.Set_up.visible) return;
  const Settings& c = s.settings;
  if (c.InDev1 != s.NoDeviceIn1) openInput(w_.MIDIInput1, c.InDev1);
  if (c.InDev2 != s.NoDeviceIn2) openInput(w_.MIDIInput2, c.InDev2);
  if (c.OutDev != s.NoDeviceOut) openOutput(w_.MIDIOutput1, c.OutDev);
  s.settings.SysexDelay = s.SavedSysexDelay;
  s.settings.NoteDelay = s.SavedNoteDelay;
  unloadSetup();
  AGGIORNAMENTO_KALVO();
}

// Closing the dialog by its frame must not leave the organ silent with its
// ports closed: it is a CANCEL.
void Console::Setup_Close() {
  Setup_CANCEL_Click();
}

void Console::Fine_Setup() {
  Aggiusta_Check_Menu();
  Scrivi_Label_memorie();
  RESET_Click();
}

void Console::unloadSetup() {
  panel.Set_up = SetupView{};
  if (panel.onChanged) panel.onChanged();
}

}  // namespace kalvant

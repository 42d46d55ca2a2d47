// The life of the three MIDI ports: device lists, opening at start-up,
// closing at shutdown, and the ports' error events.

#include "console/Console.h"
#include "console/PortOpening.h"

namespace kalvant {

namespace {

// Lists the devices of a port into a combo list ending with "No device";
// returns the device count, which is also the position of "No device".
i16 listDevices(midi::MidiPort& port, std::vector<std::string>& list) {
  const int n = port.deviceCount();
  for (int i = 0; i < n; ++i) {
    port.selectDevice(i);
    list.push_back(port.deviceName());
  }
  list.push_back("No device");
  return static_cast<i16>(n);
}

}  // namespace

void Console::MIDI_DEVICES_ACK() {
  SetupView& v = panel.Set_up;
  s.NoDeviceOut = listDevices(w_.MIDIOutput1, v.outputDevcombo);
  s.NoDeviceIn1 = listDevices(w_.MIDIInput1, v.InputDev1Combo);
  s.NoDeviceIn2 = listDevices(w_.MIDIInput2, v.InputDev2Combo);
  if (panel.onChanged) panel.onChanged();
}

void Console::MIDI_OPENING() {
  const Settings& c = s.settings;
  const bool ok = (c.InDev1 == s.NoDeviceIn1 || openInput(w_.MIDIInput1, c.InDev1)) &&
                  (c.InDev2 == s.NoDeviceIn2 || openInput(w_.MIDIInput2, c.InDev2)) &&
                  (c.OutDev == s.NoDeviceOut || openOutput(w_.MIDIOutput1, c.OutDev));
  if (!ok) {
    tell("Setup not valid! Please delete KALVANT.CFG and retry!", MessageIcon::None);
  }
}

void Console::CHIUSURA_PORTE_MIDI() {
  const Settings& c = s.settings;
  // At shutdown the module has just been reset, which silenced every note.
  if (!closing_) releaseHeldNotes();
  if (c.InDev1 != s.NoDeviceIn1) w_.MIDIInput1.close();
  if (c.InDev2 != s.NoDeviceIn2) w_.MIDIInput2.close();
  if (c.OutDev != s.NoDeviceOut) w_.MIDIOutput1.close();
}

void Console::MIDIInput1_Error(int code, const std::string& message) {
  if (code != midi::kWarning && code != midi::kQueueOverflow) {
    tell(message, MessageIcon::None);
  }
}

void Console::MIDIInput2_Error(int code, const std::string& message) {
  MIDIInput1_Error(code, message);
}

void Console::MIDIOutput1_Error(int, const std::string& message) {
  tell(message, MessageIcon::None);
}

}  // namespace kalvant

// The life of the three MIDI ports: device lists, opening at start-up,
// closing at shutdown and around the setup dialog, and the ports' errors.

#include "ports/MidiSetup.h"

namespace kalvant::ports {

namespace {

// Lists the devices of a port into a list ending with "No device"; returns
// the device count, which is also the position of "No device".
i16 listPort(midi::MidiPort& port, std::vector<std::string>& list) {
  const int n = port.deviceCount();
  for (int i = 0; i < n; ++i) {
    port.selectDevice(i);
    list.push_back(port.deviceName());
  }
  list.push_back("No device");
  return static_cast<i16>(n);
}

bool openInput(midi::MidiInput& in, int device) {
  in.selectDevice(device);
  in.setFilter(254, true);
  return in.open() && in.start();
}

bool openOutput(midi::MidiOutput& out, int device) {
  out.selectDevice(device);
  return out.open() && out.start();
}

}  // namespace

MidiSetup::MidiSetup(PortSet ports, PortSettings settings, UserDialogs& user, SetupHooks hooks)
    : ports_(ports), settings_(settings), user_(user), hooks_(std::move(hooks)) {}

void MidiSetup::listDevices() {
  noDeviceOut_ = listPort(ports_.output, view_.outputDevices);
  noDeviceIn1_ = listPort(ports_.input1, view_.input1Devices);
  noDeviceIn2_ = listPort(ports_.input2, view_.input2Devices);
  if (hooks_.changed) hooks_.changed();
}

void MidiSetup::openAll() {
  const PortSettings& c = settings_;
  const bool ok = (c.inDev1 == noDeviceIn1_ || openInput(ports_.input1, c.inDev1)) &&
                  (c.inDev2 == noDeviceIn2_ || openInput(ports_.input2, c.inDev2)) &&
                  (c.outDev == noDeviceOut_ || openOutput(ports_.output, c.outDev));
  if (!ok) hooks_.tell("Setup not valid! Please delete KALVANT.CFG and retry!");
}

void MidiSetup::closeAll() {
  if (hooks_.beforeClosing) hooks_.beforeClosing();
  if (settings_.inDev1 != noDeviceIn1_) ports_.input1.close();
  if (settings_.inDev2 != noDeviceIn2_) ports_.input2.close();
  if (settings_.outDev != noDeviceOut_) ports_.output.close();
}

// Both ends of the dialog open what is chosen, skipping "No device".
void MidiSetup::reopen(int in1, int in2, int out) {
  if (in1 != noDeviceIn1_) openInput(ports_.input1, in1);
  if (in2 != noDeviceIn2_) openInput(ports_.input2, in2);
  if (out != noDeviceOut_) openOutput(ports_.output, out);
}

// Warnings and a full queue are the input's own business: the status line
// tells of dropped messages.
void MidiSetup::inputError(int code, const std::string& message) {
  if (code != midi::kWarning && code != midi::kQueueOverflow) hooks_.tell(message);
}

void MidiSetup::outputError(const std::string& message) {
  hooks_.tell(message);
}

}  // namespace kalvant::ports

// The MIDI device setup dialog: device choices, the two delays (CANCEL
// restores them) and the built-in synthesizer's choices (only OK saves them).

#include <algorithm>

#include "ports/MidiSetup.h"

namespace kalvant::ports {

namespace {

bool validPosition(int position, const std::vector<std::string>& list) {
  return position >= 0 && position < static_cast<int>(list.size());
}

}  // namespace

void MidiSetup::open() {
  if (view_.visible) return;  // already open: the window brings it to the front
  closeAll();
  // The lists belong to the loaded dialog; fill them whenever they are
  // empty, whatever the flag says (a table enabled in the editor sets it).
  if (!listsReady_ || view_.outputDevices.empty()) {
    view_ = SetupView{};
    listDevices();
  }
  listsReady_ = false;
  const PortSettings& c = settings_;
  if (!validPosition(c.inDev1, view_.input1Devices) ||
      !validPosition(c.inDev2, view_.input2Devices) ||
      !validPosition(c.outDev, view_.outputDevices)) {
    hooks_.tell(
        "MIDI DEVICES ACK ERROR : PLEASE EXIT,DELETE KALVANT.CFG FILE, RESTART AND RETRY MIDI "
        "SETUP");
    return;
  }
  // The sliders cannot show a delay outside their range, and CANCEL
  // restores what they showed.
  c.sysexDelay = static_cast<i16>(std::clamp<int>(c.sysexDelay, 0, kMaxSysexDelay));
  c.noteDelay = static_cast<i16>(std::clamp<int>(c.noteDelay, 0, kMaxNoteDelay));
  chooseInput1(c.inDev1);
  chooseInput2(c.inDev2);
  chooseOutput(c.outDev);
  showDelays();
  savedSysexDelay_ = c.sysexDelay;
  savedNoteDelay_ = c.noteDelay;
  if (ports_.builtInSynth) {
    std::string error;  // an unreadable file shows the defaults, as it will load them
    synthSaved_ = synthChoice_ = ports_.builtInSynth->saved(error);
    showSynth();
  }
  view_.visible = true;
  if (hooks_.changed) hooks_.changed();
}

void MidiSetup::showDelays() {
  set(view_.sysexDelaySlider, static_cast<int>(settings_.sysexDelay));
  set(view_.sysexDelayText, std::to_string(settings_.sysexDelay));
  set(view_.noteDelaySlider, static_cast<int>(settings_.noteDelay));
  set(view_.noteDelayText, std::to_string(settings_.noteDelay));
}

void MidiSetup::chooseInput1(int position) {
  set(view_.input1Selected, position);
  if (position != noDeviceIn1_) ports_.input1.selectDevice(position);
}

void MidiSetup::chooseInput2(int position) {
  set(view_.input2Selected, position);
  if (position != noDeviceIn2_) ports_.input2.selectDevice(position);
}

void MidiSetup::chooseOutput(int position) {
  set(view_.outputSelected, position);
  if (position != noDeviceOut_) ports_.output.selectDevice(position);
}

void MidiSetup::moveSysexDelay(int value) {
  settings_.sysexDelay = static_cast<i16>(std::clamp(value, 0, kMaxSysexDelay));
  showDelays();
}

void MidiSetup::moveNoteDelay(int value) {
  settings_.noteDelay = static_cast<i16>(std::clamp(value, 0, kMaxNoteDelay));
  showDelays();
}

// The synthesizer's choice is saved before the ports reopen, so that
// opening it on the new devices loads what was chosen.
void MidiSetup::ok() {
  if (!view_.visible) return;
  applySynth();
  reopen(view_.input1Selected, view_.input2Selected, view_.outputSelected);
  settings_.inDev1 = static_cast<i16>(view_.input1Selected);
  settings_.inDev2 = static_cast<i16>(view_.input2Selected);
  settings_.outDev = static_cast<i16>(view_.outputSelected);
  if (hooks_.afterOk) hooks_.afterOk();
  unload();
}

void MidiSetup::cancel() {
  if (!view_.visible) return;
  reopen(settings_.inDev1, settings_.inDev2, settings_.outDev);
  settings_.sysexDelay = savedSysexDelay_;
  settings_.noteDelay = savedNoteDelay_;
  unload();
  if (hooks_.afterCancel) hooks_.afterCancel();
}

void MidiSetup::unload() {
  view_ = SetupView{};
  if (hooks_.changed) hooks_.changed();
}

void MidiSetup::showSynth() {
  midi::BuiltInSynthControl& synth = *ports_.builtInSynth;
  SynthView v;
  v.available = true;
  v.audioDrivers = synth.audioDrivers();
  const auto it = std::find(v.audioDrivers.begin(), v.audioDrivers.end(), synthChoice_.audioDriver);
  v.driverSelected =
      it == v.audioDrivers.end() ? -1 : static_cast<int>(it - v.audioDrivers.begin());
  v.soundfontShown = synth.soundfontFile(synthChoice_);
  set(view_.synth, v);
}

void MidiSetup::chooseSynthDriver(int position) {
  if (!view_.synth.available || !validPosition(position, view_.synth.audioDrivers)) return;
  synthChoice_.audioDriver = view_.synth.audioDrivers[static_cast<std::size_t>(position)];
  showSynth();
}

void MidiSetup::browseSoundfont() {
  if (!view_.synth.available) return;
  const std::optional<std::string> chosen = user_.pickFileToOpen("Soundfont", ".sf2");
  if (!chosen) return;
  synthChoice_.soundfont = *chosen;
  showSynth();
}

void MidiSetup::defaultSoundfont() {
  if (!view_.synth.available) return;
  synthChoice_.soundfont.clear();
  showSynth();
}

// Nothing is written when the choice is what was saved.
bool MidiSetup::applySynth() {
  if (!ports_.builtInSynth || synthChoice_ == synthSaved_) return true;
  std::string error;
  if (ports_.builtInSynth->apply(synthChoice_, error)) return true;
  hooks_.tell(error);
  return false;
}

}  // namespace kalvant::ports

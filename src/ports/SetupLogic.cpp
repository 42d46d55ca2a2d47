// The MIDI device setup dialog: device choices, the two delays (CANCEL
// restores them) and the built-in synthesizer's choices (only OK saves them).

#include <algorithm>
#include <chrono>

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
  view_ = SetupView{};
  Lists lists = listAll();
  for (int k = 0; k < 3; ++k) fillList(k, std::move(lists[static_cast<std::size_t>(k)]));
  // The sliders cannot show a delay outside their range, and CANCEL
  // restores what they showed.
  const PortSettings& c = settings_;
  c.sysexDelay = static_cast<i16>(std::clamp<int>(c.sysexDelay, 0, kMaxSysexDelay));
  c.noteDelay = static_cast<i16>(std::clamp<int>(c.noteDelay, 0, kMaxNoteDelay));
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

// Today's devices, then the wanted one when it is missing (shown, selected
// and kept on OK), then "No device".
void MidiSetup::fillList(int link, std::vector<std::string> devices) {
  const std::size_t k = static_cast<std::size_t>(link);
  std::vector<std::string>& names = choices_[k];
  names = std::move(devices);
  std::vector<std::string> shown = names;
  const std::string& wanted = links_[k].wanted();
  int selected = findDevice(names, wanted, occurrence(link));
  if (!wanted.empty() && selected < 0) {
    names.push_back(wanted);
    shown.push_back("(not connected) " + wanted);
    selected = static_cast<int>(names.size()) - 1;
  }
  names.emplace_back();
  shown.emplace_back("No device");
  if (wanted.empty()) selected = static_cast<int>(names.size()) - 1;
  std::vector<std::string>* lists[] = {&view_.input1Devices, &view_.input2Devices,
                                       &view_.outputDevices};
  int* selections[] = {&view_.input1Selected, &view_.input2Selected, &view_.outputSelected};
  *lists[k] = std::move(shown);
  *selections[k] = selected;
}

void MidiSetup::showDelays() {
  set(view_.sysexDelaySlider, static_cast<int>(settings_.sysexDelay));
  set(view_.sysexDelayText, std::to_string(settings_.sysexDelay));
  set(view_.noteDelaySlider, static_cast<int>(settings_.noteDelay));
  set(view_.noteDelayText, std::to_string(settings_.noteDelay));
}

void MidiSetup::chooseInput1(int position) {
  if (validPosition(position, view_.input1Devices)) set(view_.input1Selected, position);
}

void MidiSetup::chooseInput2(int position) {
  if (validPosition(position, view_.input2Devices)) set(view_.input2Selected, position);
}

void MidiSetup::chooseOutput(int position) {
  if (validPosition(position, view_.outputDevices)) set(view_.outputSelected, position);
}

void MidiSetup::moveSysexDelay(int value) {
  settings_.sysexDelay = static_cast<i16>(std::clamp(value, 0, kMaxSysexDelay));
  showDelays();
}

void MidiSetup::moveNoteDelay(int value) {
  settings_.noteDelay = static_cast<i16>(std::clamp(value, 0, kMaxNoteDelay));
  applyNoteDelay();
  showDelays();
}

void MidiSetup::applyNoteDelay() {
  ports_.output.setMinimumGap(std::chrono::microseconds(std::max<int>(settings_.noteDelay, 0)));
}

// One keyboard cannot be both inputs: every note would sound twice. Two
// devices of the same name are two devices when both are listed.
bool MidiSetup::sameInputs() const {
  const std::string& first = choices_[0][static_cast<std::size_t>(view_.input1Selected)];
  const std::string& second = choices_[1][static_cast<std::size_t>(view_.input2Selected)];
  if (first.empty() || first != second) return false;
  return view_.input1Selected == view_.input2Selected || findDevice(choices_[0], first, 1) < 0;
}

// The synthesizer's choice is saved before the ports reopen, so that
// opening it on the new devices loads what was chosen.
void MidiSetup::ok() {
  if (!view_.visible) return;
  if (sameInputs()) {
    hooks_.tell(
        "MIDI input 1 and MIDI input 2 are the same device: every note would sound twice. "
        "Choose another device, or No device, for one of them.");
    return;
  }
  applySynth();
  const int selected[] = {view_.input1Selected, view_.input2Selected, view_.outputSelected};
  for (std::size_t k = 0; k < 3; ++k)
    links_[k].want(choices_[k][static_cast<std::size_t>(selected[k])]);
  const Lists lists = listAll();
  openLinks(lists);
  std::string error;
  if (!recordDevices(lists, error)) hooks_.tell(error);
  say(missingText());
  if (hooks_.afterOk) hooks_.afterOk();
  unload();
}

void MidiSetup::cancel() {
  if (!view_.visible) return;
  openLinks(listAll());
  settings_.sysexDelay = savedSysexDelay_;
  settings_.noteDelay = savedNoteDelay_;
  applyNoteDelay();
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

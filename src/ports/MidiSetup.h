#pragma once
// The three MIDI ports and the setup dialog that chooses their devices. The
// ports are closed while the dialog is open and opened again by OK (on the
// new devices) or CANCEL (on the old ones). Inputs drop active sensing (FEh)
// before it reaches the console.

#include <cstdint>
#include <functional>
#include <string>

#include "common/Services.h"
#include "midi/BuiltInSynthControl.h"
#include "midi/MidiPort.h"
#include "ports/Delays.h"
#include "ports/SetupView.h"
#include "view/Views.h"

namespace kalvant::ports {

using i16 = std::int16_t;

// The settings of the configuration file this part reads and writes; the
// console owns them.
struct PortSettings {
  i16& inDev1;
  i16& inDev2;
  i16& outDev;
  i16& sysexDelay;
  i16& noteDelay;
};

struct PortSet {
  midi::MidiInput& input1;
  midi::MidiInput& input2;
  midi::MidiOutput& output;
  midi::BuiltInSynthControl* builtInSynth = nullptr;  // none: no synthesizer box
};

// What the console does around the ports: tell the user, silence held notes
// before the output closes, finish OK and CANCEL, repaint.
struct SetupHooks {
  std::function<void(const std::string&)> tell;
  std::function<void()> beforeClosing;
  std::function<void()> afterOk;
  std::function<void()> afterCancel;
  std::function<void()> changed;
};

class MidiSetup {
 public:
  MidiSetup(PortSet ports, PortSettings settings, UserDialogs& user, SetupHooks hooks);

  const SetupView& view() const { return view_; }
  // The "No device" position of each list (the number of devices found).
  i16 noDeviceIn1() const { return noDeviceIn1_; }
  i16 noDeviceIn2() const { return noDeviceIn2_; }
  i16 noDeviceOut() const { return noDeviceOut_; }
  // A stops table was loaded: the lists read at start-up are still good.
  void tableLoaded() { listsReady_ = true; }
  bool listsReady() const { return listsReady_; }

  void listDevices();  // MIDI_DEVICES_ACK
  void openAll();      // MIDI_OPENING
  void closeAll();     // CHIUSURA_PORTE_MIDI

  void open();  // SetMidi_Click
  void chooseInput1(int position);
  void chooseInput2(int position);
  void chooseOutput(int position);
  void moveSysexDelay(int value);
  void moveNoteDelay(int value);
  void ok();
  void cancel();
  void chooseSynthDriver(int position);
  void browseSoundfont();
  void defaultSoundfont();

  void inputError(int code, const std::string& message);
  void outputError(const std::string& message);

 private:
  template <class T>
  void set(T& field, const T& value) {
    setView(field, value, hooks_.changed);
  }
  void showDelays();
  void showSynth();
  bool applySynth();
  void reopen(int in1, int in2, int out);
  void unload();

  PortSet ports_;
  PortSettings settings_;
  UserDialogs& user_;
  SetupHooks hooks_;
  SetupView view_;
  i16 noDeviceIn1_ = 0, noDeviceIn2_ = 0, noDeviceOut_ = 0;
  bool listsReady_ = false;
  i16 savedSysexDelay_ = 0, savedNoteDelay_ = 0;  // the delays when the dialog opened
  midi::SynthChoice synthSaved_, synthChoice_;    // as saved, and the copy the dialog changes
};

}  // namespace kalvant::ports

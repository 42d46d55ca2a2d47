#pragma once
// The three MIDI ports, the devices they play on and the setup dialog that
// chooses them. Devices are kept by name (DeviceLink, DeviceFile): a device
// that is missing is waited for, one that goes away is let go and taken
// again when it comes back, and nothing about a device ever costs a setting.
// The ports are closed while the dialog is open and opened again by OK (on
// the new devices) or CANCEL (on the old ones).

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/Services.h"
#include "midi/BuiltInSynthControl.h"
#include "midi/MidiPort.h"
#include "ports/Delays.h"
#include "ports/DeviceFile.h"
#include "ports/DeviceLink.h"
#include "ports/SetupView.h"
#include "view/Views.h"

namespace kalvant::ports {

using i16 = std::int16_t;

// The settings of the configuration file this part reads and writes; the
// console owns them. The device positions are kept for older readers of
// the file and for a first start without recorded names.
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

// What the console does around the ports.
struct SetupHooks {
  std::function<void(const std::string&)> tell;    // a message box
  std::function<void(const std::string&)> notice;  // a box that does not wait
  std::function<void()> beforeClosing;             // silence held notes
  std::function<void(int input)> inputLost;        // its held notes released
  std::function<void()> outputBack;                // the module needs the registration again
  std::function<void()> afterOk;
  std::function<void()> afterCancel;
  std::function<void()> changed;
};

class MidiSetup {
 public:
  // `deviceFile`: where the names are kept.
  MidiSetup(PortSet ports, PortSettings settings, UserDialogs& user, SetupHooks hooks,
            std::string deviceFile);

  const SetupView& view() const { return view_; }
  // What the console's status line says about the devices.
  const LabelView& connectionStatus() const { return status_; }
  // The "No device" position of each list at start-up (the number of devices found).
  i16 noDeviceIn1() const { return noDevice_[0]; }
  i16 noDeviceIn2() const { return noDevice_[1]; }
  i16 noDeviceOut() const { return noDevice_[2]; }
  // The built-in synthesizer's position in the output list, where it comes
  // last, or -1 when the output offers none.
  i16 builtInOutput() const { return ports_.builtInSynth ? i16(noDevice_[2] - 1) : i16(-1); }
  // True when the built-in synthesizer is the only output device there is.
  bool onlyBuiltInOutput() const { return builtInOutput() == 0; }
  // The device each port plays on (input 1, input 2, output), "" for none.
  std::string wanted(int link) const { return links_[static_cast<std::size_t>(link)].wanted(); }
  bool connected(int link) const { return links_[static_cast<std::size_t>(link)].connected(); }

  void listDevices();  // MIDI_DEVICES_ACK
  void openAll();      // MIDI_OPENING
  void closeAll();     // CHIUSURA_PORTE_MIDI
  // Writes the device names (and the positions for KALVANT.CFG's older
  // readers); false with a message when the file could not be written.
  bool saveDevices(std::string& error);

  // Hot-plug: a back-end said its devices changed, or the second's poll.
  void devicesChanged();
  void poll();

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
  void outputError(int code, const std::string& message);

 private:
  template <class T>
  void set(T& field, const T& value) {
    setView(field, value, hooks_.changed);
  }
  static std::string label(int link);
  int occurrence(int link) const;
  i16& position(int link);
  // Each port's device list, read once for all that follows from it.
  using Lists = std::array<std::vector<std::string>, 3>;
  Lists listAll();
  void openLinks(const Lists& lists);
  void refreshPositions(const Lists& lists);
  bool recordDevices(const Lists& lists, std::string& error);
  std::string missingText() const;
  void watch(int link);
  void say(const std::string& text) { set(status_.text, text); }
  bool sameInputs() const;
  void fillList(int link, std::vector<std::string> devices);
  void showDelays();
  // The output spaces its messages by the note delay, in microseconds.
  void applyNoteDelay();
  void showSynth();
  bool applySynth();
  void unload();

  PortSet ports_;
  PortSettings settings_;
  UserDialogs& user_;
  SetupHooks hooks_;
  std::string deviceFile_;
  std::array<DeviceLink, 3> links_;
  SetupView view_;
  LabelView status_;
  std::array<i16, 3> noDevice_{};
  // What each position of the dialog's lists names ("" is "No device").
  std::array<std::vector<std::string>, 3> choices_;
  bool systemStopped_ = false;
  bool devicesKnown_ = false;                     // openAll has run: the names are worth saving
  i16 savedSysexDelay_ = 0, savedNoteDelay_ = 0;  // the delays when the dialog opened
  midi::SynthChoice synthSaved_, synthChoice_;    // as saved, and the copy the dialog changes
};

}  // namespace kalvant::ports

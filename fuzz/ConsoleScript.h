#pragma once
// A console on in-memory MIDI ports, played by a script of bytes: what the
// keyboards send, what the organist clicks and presses, and when that
// happens while the console's output is still being sent.
//
// Script layout: 16 setting bytes as a configuration file might hold them
// (any value, read as signed bytes), then actions, each an opcode byte and
// its argument bytes. A missing byte reads as 0. After an action the clock
// runs until the console's output has drained (sysex pacing, the reset's
// pauses). kDuringPause before an action holds that back: the action after
// it comes while the output is still being sent, after as many timer ticks
// as further kDuringPause bytes came before it (none for one).

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/Console.h"
#include "midi/MemoryMidi.h"

namespace kalvant::fuzz {

inline constexpr std::size_t kSettingBytes = 16;

enum Op : std::uint8_t {
  kNoteIn1,        // status | 0x80, data1 & 0x7F, data2 & 0x7F into input 1
  kNoteIn2,        // the same into input 2
  kRawIn1,         // length byte (1..3), then raw bytes into input 1
  kRawIn2,         // the same into input 2
  kPump,           // the event loop runs what is posted
  kDivision,       // GREAT, SWELL, PEDALE
  kCoupler,        // UNI_II, UNII_I, UNPI, UNPII
  kTremolo,        // the Great or Swell tremolo button
  kStop,           // a stop button 10..99
  kMemory,         // a memory 1..24
  kRec,            // REC
  kClear,          // CLEAR
  kReset,          // RESET
  kPanic,          // PANIC
  kThruOpen,       // "Midi Thru..."
  kThruChoose,     // a thru mode option 0..2
  kThruField,      // a learned-channel field, -1..3 (only 0..2 exist)
  kThruClose,      // OK, CANCEL or the close box
  kKeyDown,        // a computer key down with shift state
  kKeyPress,       // a character typed
  kVolume,         // the volume slider of a division moved to a value
  kCoupleSliders,  // the slider-coupling button
  kTemperament,    // a temperament 0..3
  kReverb,         // a reverb 0..2
  kTremoloRate,    // the rate dialog: open, move, OK or CANCEL
  kSetup,          // the device dialog: open, choose inputs, OK or CANCEL
  kSysexDelay,     // the setup dialog's sysex delay slider, 0..3 ms
  kLabelMode,      // the memory label mode button
  kStoreMemory,    // ten signed values into a free memory, as a file may hold
  kClose,          // the window is closed (shutdown)
  kDuringPause,    // the next action comes before the output has drained
  kOpCount
};

// One run of a script. Public so that tests can look at what happened.
class ConsoleRun {
 public:
  ConsoleRun();
  ~ConsoleRun();

  // Plays the whole script; returns the first broken rule, or "".
  std::string play(const std::uint8_t* data, std::size_t size);

  // What the module received, in order.
  const std::vector<midi::Bytes>& sent() const { return out_->sent; }
  const Console& console() const { return *k_; }
  std::vector<std::string> messages;  // message boxes shown

 private:
  class Loop;
  class User;
  std::uint8_t next();
  void applySettings();
  void start();
  bool runAction();
  void runConsoleAction(std::uint8_t op);
  void runDialogAction(std::uint8_t op);
  void runInputAction(std::uint8_t op);
  void injectRaw(midi::MemoryMidiInput& in);
  void settle();
  void checkSent(const midi::Bytes& m);
  void checkPanel();
  void checkModule();
  void fail(const std::string& why);

  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0, pos_ = 0;
  int holds_ = 0;  // kDuringPause bytes before the coming action
  // The stop entry each division of the module heard last (-1: none since
  // its reset), as the fake output saw the entries' first messages;
  // kUnknown once the output was found closed (the setup dialog open), until
  // the division hears a stop again.
  static constexpr int kUnknown = -2;
  std::array<int, 3> moduleStops_{-1, -1, -1};
  std::string broken_;
  std::string dir_;
  std::unique_ptr<Loop> loop_;
  std::unique_ptr<User> user_;
  std::unique_ptr<midi::MemoryMidiInput> in1_, in2_;
  std::unique_ptr<midi::MemoryMidiOutput> out_;
  std::unique_ptr<Console> k_;
};

}  // namespace kalvant::fuzz

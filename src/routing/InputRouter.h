#pragma once
// What the keyboards play. Most messages are routed on the driver thread
// (LiveRouting); what it leaves (commands, captures, the wheel, volume
// pedals, and every message of an input that follows one of those) is
// queued and drained here message by message: routing::route decides, the
// router sends and runs the commands. It publishes the routing state to the
// driver thread after every change, and owns the thru dialog, PANIC and the
// overload status line.
//
// Commands that change the console (memories, stops, couplers, buttons) go
// out through RouterActions, which the console implements with its entry
// points.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "common/Services.h"
#include "midi/MidiPort.h"
#include "routing/FootSwitches.h"
#include "routing/LiveRouting.h"
#include "routing/Routing.h"
#include "routing/ThruView.h"
#include "sysex/ModuleOutput.h"
#include "view/Views.h"

namespace kalvant::routing {

// What a key command or the wheel asks of the console.
enum class Action {
  Nothing,     // a silent key
  Memory,      // value: 1..24
  Stop,        // value: stop button 10..99
  BendSwitch,  // value: a BendSwitch
  About,
  Rec,
  Division,  // value: 1 Great, 2 Swell, 3 Pedal
  Reset,
  Clear,
  Temperament,       // value: 0..3
  Reverb,            // value: 0..2
  TremoloRate,       // the rate setting changed: both tremolos hear it
  Volume,            // value 80..127, division: 0 Great, 1 Swell
  RepaintDivisions,  // the thru mode changed
  MemoryStep,        // the memory sequencer: value +1 next, -1 previous
};

struct ConsoleAction {
  Action action;
  int value = 0;
  int division = 0;
  bool operator==(const ConsoleAction&) const = default;
};

// What the routing reads of the registration being chosen.
struct Keyboards {
  i16 activeManual = 1, manualCoupler = 0, pedalCoupler = 0;
  i16 greatVolume = 127, swellVolume = 127;
};

// The key command of `key` played on `division` (0 Great, 1 Swell, 2 Pedal)
// with the sustain pedal held, changing `tremoloRate` for the rate keys.
// Stop-number keys (36..52) are not in it; keys 59 and outside the map give
// no action: they are PANIC.
std::optional<ConsoleAction> keyCommand(int key, int division, const Keyboards& keyboards,
                                        i16& tremoloRate);

class RouterActions {
 public:
  virtual ~RouterActions() = default;
  virtual void run(const ConsoleAction& action) = 0;
  virtual Keyboards keyboards() const = 0;
  virtual bool ended() const = 0;  // shutdown has finished: handle nothing more
};

// The settings of the configuration file the router reads and writes; the
// console owns them.
struct RouterSettings {
  i16& thruMode;
  i16& tremoloRate;
  std::array<i16, 4>& fixedChannel;
  const i16& slidersCoupled;
};

class InputRouter {
 public:
  InputRouter(ModuleOutput& output, RouterSettings settings, RouterActions& actions,
              std::function<void()> changed);

  const ThruView& thruView() const { return thru_; }
  const LabelView& midiStatus() const { return midiStatus_; }
  bool commandArmed() const { return commandArmed_; }
  // Controllers 66 and 67 on a division channel step through the memories
  // (never forwarded), or pass like any controller.
  bool footSwitches() const { return footSwitches_; }
  void setFootSwitches(bool on);
  // What the driver thread routes by; inputs hand it their messages.
  LiveRouting& live() { return live_; }
  const LiveRouting& live() const { return live_; }
  // The state routing reads now, and whether the driver thread has it.
  RoutingState routingState() const;
  bool published() const { return live_.published() == routingState(); }
  // After any change of the routing state (GUI thread).
  void publish();
  // The console is about to wait for the user (a modal box): the messages
  // being handled count as done, so the inputs' later messages flow again
  // meanwhile.
  void letInputsFlow();

  void drain(int input, midi::MidiInput& port);  // MIDIInput1_Message, MIDIInput2_Message
  void handleMessage(int input, const midi::InMessage& m);
  void releaseHeldNotes();                 // before the output closes
  void releaseHeldNotes(int input);        // its keyboard went away
  void keyCommand(int key, int division);  // Total_Recall
  void panic();
  void keyDown(int keyCode);    // Form_KeyDown
  void keyPress(int keyAscii);  // Form_KeyPress
  void tableLoaded();           // a new stops table ends any capture

  void openThru();  // MidiTHRU_Click
  void chooseThruMode(int mode);
  void chooseCaptureField(int field);
  void refreshThru();
  void thruOk();
  void thruCancel();
  void thruClose();

 private:
  void runCommand(int input, const midi::InMessage& m, const Decision& d);
  void showOverload(int input, const midi::MidiInput& port, bool drained);
  void volumePedal(int input, int division, int value);
  void selectStopByNumber(int division);
  template <class T>
  void set(T& field, const T& value) {
    setView(field, value, changed_);
  }

  // The output as the held-note memory sends to it.
  struct OutputSink final : LiveRouting::Sink {
    explicit OutputSink(ModuleOutput& o) : output(o) {}
    void send(int status, int data1, int data2) override { output.forward(status, data1, data2); }
    ModuleOutput& output;
  };
  // The queued message each input's drain is handling, until it is done.
  struct Handling {
    midi::MidiInput* port = nullptr;
    std::uint64_t id = 0;
  };
  void done(int input);

  ModuleOutput& output_;
  OutputSink sink_{output_};
  RouterSettings settings_;
  RouterActions& actions_;
  std::function<void()> changed_;
  ThruView thru_;
  LabelView midiStatus_;
  bool commandArmed_ = false;
  bool bendSwitchLatch_ = false;
  bool channelCapture_ = false;
  bool footSwitches_ = false;
  FootSwitchPresses footSwitchPresses_;
  i16 captureField_ = 0;
  i16 thruModeBefore_ = 0;                        // the thru mode when its dialog opened
  i16 stopNumberTens_ = 0, stopNumberUnits_ = 0;  // a stop chosen by number
  LiveRouting live_;
  std::array<Handling, 2> handling_{};
  // What the status line last said about each input's dropped messages.
  std::array<std::uint64_t, 2> droppedShown_{};
  std::chrono::steady_clock::time_point overloadShownAt_{};
};

}  // namespace kalvant::routing

#pragma once
// The routing decision for one message from a keyboard: a pure function of
// the console's routing state and the message, so it can be tested and
// measured without ports. The console applies the decision (sends, calls
// the commands) in routing/InputRouter.cpp.

#include <array>
#include <cstdint>

namespace kalvant::routing {

using i16 = std::int16_t;

// What the routing reads of the console, taken from the pending slot and
// the settings when the message is handled.
struct RoutingState {
  i16 thruMode = 0;  // 0 none, 1 normal (active division), 2 fixed (learned channels)
  std::array<i16, 3> fixedChannel{};  // 0-based input channels learned for Great, Swell, Pedal
  i16 activeManual = 1;               // 1 Great, 2 Swell, 3 Pedal
  i16 manualCoupler = 0;              // 0 none, 1 Great to Swell, 2 Swell to Great
  i16 pedalCoupler = 0;               // 0 none, 1 Pedal to Great, 2 Pedal to Swell
  bool commandArmed = false;
  bool bendSwitchLatch = false;
  bool channelCapture = false;
  i16 captureField = 0;       // the learned field a captured note-on goes to
  bool footSwitches = false;  // controllers 66 and 67 step through the memories
  bool operator==(const RoutingState&) const = default;
};

struct Message {
  int status = 0, data1 = 0, data2 = 0;
};

enum class Command {
  None,
  Arm,          // sustain pedal down on a division channel
  PanicDisarm,  // sustain pedal up while armed
  Memory,       // recall memory `value` (1..24), then disarm
  KeyCommand,   // Total_Recall(data1, division `value`)
  LatchOff,     // the wheel is back in its centre zone
  BendSwitch,   // fast switch `value` (see BendSwitch below), then latch
  Expression,   // volume pedal: slider value `value`, division `division`
  FootSwitch,   // soft pedal (next) or sostenuto (previous) moved to `value`
};

// The pitch-bend fast switches, by division and direction.
enum BendSwitch : int {
  kGreatTremolo,
  kManualCouplerIItoI,  // UNI_II
  kSwellTremolo,
  kManualCouplerItoII,  // UNII_I
  kPedalCouplerI,       // UNPI
  kPedalCouplerII,      // UNPII
};

// The switch of a division (0 Great, 1 Swell, anything else the Pedal) in
// one direction: up is the wheel pushed forward.
BendSwitch wheelSwitch(int division, bool up);

struct Decision {
  int captured = -1;           // channel (0-based) learned by a capture, or -1
  int status = 0;              // the status after rechannelling
  std::array<int, 2> sends{};  // statuses to send with the message's data
  int sendCount = 0;           // 0, 1, or 2 with a coupler duplicate
  Command command = Command::None;
  int value = 0;
  int division = 0;  // 0 Great, 1 Swell, 2 Pedal (of the rechannelled status)
};

// The status after the thru mode: mode 1 folds every channel onto the
// active division, mode 2 maps the learned channels, mode 0 changes nothing.
int rechannel(int status, const RoutingState& state);

// The coupler duplicate of a sent status, or 0 when no coupler applies.
int couplerDuplicate(int status, const RoutingState& state);

// Volume pedal value: 0 gives 80, 64 gives 104, 127 gives 127.
int expressionValue(int data2);

Decision route(const RoutingState& state, const Message& m);

}  // namespace kalvant::routing

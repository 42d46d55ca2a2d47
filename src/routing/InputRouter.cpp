// Draining the inputs, sending what the routing decided, held notes and the
// overload status line.

#include "routing/InputRouter.h"

#include <string>

namespace kalvant::routing {

namespace {

constexpr auto kOverloadRefresh = std::chrono::milliseconds(250);

// 34403 -> "34,403"
std::string withThousands(std::uint64_t n) {
  std::string digits = std::to_string(n);
  for (auto i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3) {
    digits.insert(static_cast<std::size_t>(i), ",");
  }
  return digits;
}

}  // namespace

InputRouter::InputRouter(ModuleOutput& output, RouterSettings settings, RouterActions& actions,
                         std::function<void()> changed)
    : output_(output), settings_(settings), actions_(actions), changed_(std::move(changed)) {}

RoutingState InputRouter::routingState() const {
  RoutingState r;
  r.thruMode = settings_.thruMode;
  r.fixedChannel = {settings_.fixedChannel[0], settings_.fixedChannel[1],
                    settings_.fixedChannel[2]};
  const Keyboards k = actions_.keyboards();
  r.activeManual = k.activeManual;
  r.manualCoupler = k.manualCoupler;
  r.pedalCoupler = k.pedalCoupler;
  r.commandArmed = commandArmed_;
  r.bendSwitchLatch = bendSwitchLatch_;
  r.channelCapture = channelCapture_;
  r.captureField = captureField_;
  r.footSwitches = footSwitches_;
  return r;
}

void InputRouter::setFootSwitches(bool on) {
  footSwitches_ = on;
  publish();
}

void InputRouter::publish() {
  live_.publish(routingState(), !actions_.ended());
}

// A queued message is handled in order: its sends and its command, which
// runs to completion at once (sending is scheduled, never waited for). The
// routing state it leaves is published for the driver thread, and only
// then is the message dropped from the queue, which lets the driver thread
// route that input again. A command that asks the user lets the inputs
// flow before its box opens (letInputsFlow).
void InputRouter::drain(int input, midi::MidiInput& port) {
  while (!actions_.ended() && port.queueCount() >= 1) {
    handling_[input] = {&port, port.headId()};
    handleMessage(input, port.head());
    done(input);
    showOverload(input, port, false);
  }
  showOverload(input, port, true);
}

void InputRouter::done(int input) {
  Handling& h = handling_[input];
  if (!h.port) return;
  publish();
  h.port->dropHead(h.id);
  h.port = nullptr;
}

void InputRouter::letInputsFlow() {
  done(0);
  done(1);
}

// An overloaded input drops messages (never a release). The status line
// says how many: a few times a second at most while the flood lasts, and
// once more when the queue has drained.
void InputRouter::showOverload(int input, const midi::MidiInput& port, bool drained) {
  const std::uint64_t dropped = port.droppedCount();
  if (dropped == droppedShown_[input]) return;
  const auto now = std::chrono::steady_clock::now();
  if (!drained && now - overloadShownAt_ < kOverloadRefresh) return;
  droppedShown_[input] = dropped;
  overloadShownAt_ = now;
  set(midiStatus_.text, "MIDI input " + std::to_string(input + 1) +
                            " overloaded: " + withThousands(dropped) + " messages dropped");
}

void InputRouter::handleMessage(int input, const midi::InMessage& m) {
  const Decision d = route(routingState(), {m.status, m.data1, m.data2});
  if (d.captured >= 0 && captureField_ >= 0 && captureField_ <= 2) {
    settings_.fixedChannel[captureField_] = static_cast<i16>(d.captured);
    set(thru_.learnedChannelFields[captureField_].caption,
        "Channel " + std::to_string(d.captured + 1));
  }
  live_.play(input, m, d, sink_);
  runCommand(input, m, d);
}

// A key that starts a command disarms the pedal before the command runs: a
// key played meanwhile, on either keyboard, is a note.
void InputRouter::runCommand(int input, const midi::InMessage& m, const Decision& d) {
  switch (d.command) {
    case Command::None:
      break;
    case Command::Arm:
      commandArmed_ = true;
      break;
    case Command::PanicDisarm:
      commandArmed_ = false;
      panic();
      break;
    case Command::Memory:
      commandArmed_ = false;
      actions_.run({Action::Memory, d.value});
      break;
    case Command::KeyCommand:
      keyCommand(m.data1, d.value);
      break;
    case Command::LatchOff:
      bendSwitchLatch_ = false;
      break;
    case Command::BendSwitch:
      bendSwitchLatch_ = true;
      actions_.run({Action::BendSwitch, d.value});
      break;
    case Command::Expression:
      volumePedal(input, d.division, d.value);
      break;
    case Command::FootSwitch:
      if (const int step = footSwitchPresses_.step(input, m.data1, d.value))
        actions_.run({Action::MemoryStep, step});
      break;
  }
}

// The output is about to close with keys still down: each of their notes
// gets its release there now, or it would sound on. The keys' own releases
// come later, when another output (or none) is open that never had the
// notes: they are dropped. A keyboard that went away releases only its own.
void InputRouter::releaseHeldNotes() {
  releaseHeldNotes(0);
  releaseHeldNotes(1);
}

void InputRouter::releaseHeldNotes(int input) {
  live_.releaseHeld(input, sink_);
}

// Volume pedals move the sliders. With a manual coupler on, both divisions
// follow; input 2 also moves both when the sliders are coupled.
void InputRouter::volumePedal(int input, int division, int value) {
  const int coupler = actions_.keyboards().manualCoupler;
  const bool both = coupler == 1 || coupler == 2 || (input == 1 && settings_.slidersCoupled == 1);
  if (both || division == 0) actions_.run({Action::Volume, value, 0});
  if (both || division == 1) actions_.run({Action::Volume, value, 1});
}

// All Notes Off twice on each division channel.
void InputRouter::panic() {
  for (const OrganDivision& d : kDivisions) {
    output_.allNotesOff(d);
    output_.allNotesOff(d);
  }
}

}  // namespace kalvant::routing

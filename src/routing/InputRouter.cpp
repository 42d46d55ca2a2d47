// Draining the inputs, sending what the routing decided, held notes and the
// overload status line.

#include "routing/InputRouter.h"

#include <string>

namespace kalvant::routing {

namespace {

constexpr int kNoteDelayStepMicroseconds = 10;
// A held note's memory once its output has closed (see releaseHeldNotes).
constexpr std::uint16_t kReleasedAtClose = 0xFFFF;
constexpr auto kOverloadRefresh = std::chrono::milliseconds(250);

bool isNoteOn(const midi::InMessage& m) {
  return (m.status & 0xF0) == 0x90 && m.data2 > 0;
}

// 34403 -> "34,403"
std::string withThousands(std::uint64_t n) {
  std::string digits = std::to_string(n);
  for (auto i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3) {
    digits.insert(static_cast<std::size_t>(i), ",");
  }
  return digits;
}

}  // namespace

InputRouter::InputRouter(ModuleOutput& output, EventLoop& loop, RouterSettings settings,
                         RouterActions& actions, std::function<void()> changed)
    : output_(output),
      loop_(loop),
      settings_(settings),
      actions_(actions),
      changed_(std::move(changed)) {}

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
  return r;
}

void InputRouter::drain(int input, midi::MidiInput& port) {
  while (!actions_.ended() && port.queueCount() >= 1) {
    loop_.processPendingEvents();      // once per message: clicks stay alive
    if (port.queueCount() < 1) break;  // the port was closed meanwhile
    const std::uint64_t id = port.headId();
    handleMessage(input, port.head());
    if (settings_.noteDelay > 0) {
      loop_.pause(std::chrono::microseconds(settings_.noteDelay * kNoteDelayStepMicroseconds));
    }
    port.dropHead(id);
    showOverload(input, port, false);
  }
  showOverload(input, port, true);
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
        "Channel = " + std::to_string(d.captured + 1));
  }
  if (midi::isRelease(m) && releaseHeldNote(input, m)) return;
  for (int i = 0; i < d.sendCount; ++i) output_.forward(d.sends[i], m.data1, m.data2);
  if (isNoteOn(m)) {
    const int first = d.sendCount > 0 ? (d.sends[0] & 0x0F) + 1 : 0;
    const int second = d.sendCount > 1 ? (d.sends[1] & 0x0F) + 1 : 0;
    heldNotes_[input][m.status & 0x0F][m.data1 & 0x7F] =
        static_cast<std::uint16_t>(first | (second << 8));
  }
  runCommand(input, m, d);
}

void InputRouter::runCommand(int input, const midi::InMessage& m, const Decision& d) {
  switch (d.command) {
    case Command::None:
      break;
    case Command::Arm:
      commandArmed_ = true;
      break;
    case Command::PanicDisarm:
      panic();
      commandArmed_ = false;
      break;
    case Command::Memory:
      actions_.run({Action::Memory, d.value});
      commandArmed_ = false;
      break;
    case Command::KeyCommand:
      keyCommand(m.data1, d.value);
      break;
    case Command::LatchOff:
      bendSwitchLatch_ = false;
      break;
    case Command::BendSwitch:
      actions_.run({Action::BendSwitch, d.value});
      bendSwitchLatch_ = true;
      break;
    case Command::Expression:
      volumePedal(input, d.division, d.value);
      break;
  }
}

// A key released after its note-on was sent: the release goes to the very
// channels the note-on went to, so no note hangs when the division, a
// coupler or the thru mode changed while the key was down.
bool InputRouter::releaseHeldNote(int input, const midi::InMessage& m) {
  std::uint16_t& held = heldNotes_[input][m.status & 0x0F][m.data1 & 0x7F];
  if (held == 0) return false;
  if (held == kReleasedAtClose) {
    held = 0;
    return true;
  }
  const int kind = m.status & 0xF0;
  for (int channel : {held & 0xFF, held >> 8}) {
    if (channel > 0) output_.forward(kind | (channel - 1), m.data1, m.data2);
  }
  held = 0;
  return true;
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
  for (auto& byKey : heldNotes_[static_cast<std::size_t>(input & 1)]) {
    for (std::size_t key = 0; key < byKey.size(); ++key) {
      std::uint16_t& held = byKey[key];
      if (held == 0 || held == kReleasedAtClose) continue;
      for (int channel : {held & 0xFF, held >> 8}) {
        if (channel > 0) output_.noteOff(channel - 1, static_cast<int>(key), 64);
      }
      held = kReleasedAtClose;
    }
  }
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

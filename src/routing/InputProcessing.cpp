// What the keyboards play: each input's queue is drained message by
// message; the routing decides, the console sends and runs the commands.

#include <chrono>
#include <cstdint>
#include <string>

#include "console/Console.h"
#include "routing/Routing.h"

namespace kalvant {

namespace {

constexpr int kNoteDelayStepMicroseconds = 10;
// A held note's memory once its output has closed (see releaseHeldNotes).
constexpr std::uint16_t kReleasedAtClose = 0xFFFF;
constexpr auto kOverloadRefresh = std::chrono::milliseconds(250);

routing::RoutingState routingState(const ConsoleState& s) {
  routing::RoutingState r;
  r.thruMode = s.settings.ThruMode;
  r.fixedChannel = {s.settings.FixedChannel[0], s.settings.FixedChannel[1],
                    s.settings.FixedChannel[2]};
  r.activeManual = s.bank.pending.ActiveManual;
  r.manualCoupler = s.bank.pending.ManualCoupler;
  r.pedalCoupler = s.bank.pending.PedalCoupler;
  r.commandArmed = s.CommandArmed;
  r.bendSwitchLatch = s.BendSwitchLatch;
  r.channelCapture = s.ChannelCapture;
  r.captureField = s.CaptureField;
  return r;
}

bool isNoteOn(const midi::InMessage& m) {
  return (m.status & 0xF0) == 0x90 && m.data2 > 0;
}
using midi::isRelease;

// 34403 -> "34,403"
std::string withThousands(std::uint64_t n) {
  std::string digits = std::to_string(n);
  for (auto i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3) {
    digits.insert(static_cast<std::size_t>(i), ",");
  }
  return digits;
}

}  // namespace

void Console::MIDIInput1_Message() {
  drainInput(0, w_.MIDIInput1);
}
void Console::MIDIInput2_Message() {
  drainInput(1, w_.MIDIInput2);
}

void Console::drainInput(int input, midi::MidiInput& port) {
  while (!ended_ && port.queueCount() >= 1) {
    w_.loop.processPendingEvents();    // once per message: clicks stay alive
    if (port.queueCount() < 1) break;  // the port was closed meanwhile
    const std::uint64_t id = port.headId();
    handleMessage(input, port.head());
    if (s.settings.NoteDelay > 0) {
      w_.loop.pause(std::chrono::microseconds(s.settings.NoteDelay * kNoteDelayStepMicroseconds));
    }
    port.dropHead(id);
    showOverload(input, port, false);
  }
  showOverload(input, port, true);
}

// An overloaded input drops messages (never a release). The status line
// says how many: a few times a second at most while the flood lasts, and
// once more when the queue has drained.
void Console::showOverload(int input, const midi::MidiInput& port, bool drained) {
  const std::uint64_t dropped = port.droppedCount();
  if (dropped == droppedShown_[input]) return;
  const auto now = std::chrono::steady_clock::now();
  if (!drained && now - overloadShownAt_ < kOverloadRefresh) return;
  droppedShown_[input] = dropped;
  overloadShownAt_ = now;
  panel.setText(panel.MidiStatus, "MIDI input " + std::to_string(input + 1) + " overloaded: " +
                                      withThousands(dropped) + " messages dropped");
}

void Console::handleMessage(int input, const midi::InMessage& m) {
  const routing::Decision d = routing::route(routingState(s), {m.status, m.data1, m.data2});
  if (d.captured >= 0 && s.CaptureField >= 0 && s.CaptureField <= 2) {
    s.settings.FixedChannel[s.CaptureField] = static_cast<i16>(d.captured);
    panel.setCaption(panel.Thru_form.Custom_Thru_label[s.CaptureField],
                     "Channel = " + std::to_string(d.captured + 1));
  }
  if (isRelease(m) && releaseHeldNote(input, m)) return;
  for (int i = 0; i < d.sendCount; ++i) output_.forward(d.sends[i], m.data1, m.data2);
  if (isNoteOn(m)) {
    const int first = d.sendCount > 0 ? (d.sends[0] & 0x0F) + 1 : 0;
    const int second = d.sendCount > 1 ? (d.sends[1] & 0x0F) + 1 : 0;
    s.heldNotes[input][m.status & 0x0F][m.data1 & 0x7F] =
        static_cast<std::uint16_t>(first | (second << 8));
  }
  using routing::Command;
  switch (d.command) {
    case Command::None:
      break;
    case Command::Arm:
      s.CommandArmed = true;
      break;
    case Command::PanicDisarm:
      Panic_Click();
      s.CommandArmed = false;
      break;
    case Command::Memory:
      c_memory_Click(d.value);
      s.CommandArmed = false;
      break;
    case Command::KeyCommand:
      Total_Recall(m.data1, d.value);
      break;
    case Command::LatchOff:
      s.BendSwitchLatch = false;
      break;
    case Command::BendSwitch:
      bendSwitch(d.value);
      s.BendSwitchLatch = true;
      break;
    case Command::Expression:
      volumePedal(input, d.division, d.value);
      break;
  }
}

// A key released after its note-on was sent: the release goes to the very
// channels the note-on went to, so no note hangs when the division, a
// coupler or the thru mode changed while the key was down.
bool Console::releaseHeldNote(int input, const midi::InMessage& m) {
  std::uint16_t& held = s.heldNotes[input][m.status & 0x0F][m.data1 & 0x7F];
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
// notes: they are dropped.
void Console::releaseHeldNotes() {
  for (auto& byChannel : s.heldNotes) {
    for (auto& byKey : byChannel) {
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
}

void Console::bendSwitch(int which) {
  using namespace routing;
  switch (which) {
    case kGreatTremolo:
      return Tir_TREMOLOGO_Click();
    case kManualCouplerIItoI:
      return UNI_II_Click();
    case kSwellTremolo:
      return TIR_TREMOLOSW_Click();
    case kManualCouplerItoII:
      return UNII_I_Click();
    case kPedalCouplerI:
      return UNPI_Click();
    case kPedalCouplerII:
      return UNPII_Click();
  }
}

// Volume pedals move the sliders. With a manual coupler on, both divisions
// follow; input 2 also moves both when the sliders are coupled.
void Console::volumePedal(int input, int division, int value) {
  const int coupler = s.bank.pending.ManualCoupler;
  const bool both = coupler == 1 || coupler == 2 || (input == 1 && s.settings.SlidersCoupled == 1);
  if (both || division == 0) moveVolume(0, value);
  if (both || division == 1) moveVolume(1, value);
}

}  // namespace kalvant

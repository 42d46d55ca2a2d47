#include "routing/Routing.h"

#include <cmath>

namespace kalvant::routing {

namespace {

constexpr int kNoteOff = 128, kNoteOn = 144, kController = 176, kProgram = 192, kBend = 224;
constexpr int kSustain = 64, kSostenuto = 66, kSoftPedal = 67;

bool inRange(int v, int lo, int hi) {
  return v >= lo && v <= hi;
}
bool onDivision(int status, int kind) {
  return inRange(status, kind, kind + 2);
}

Decision send(Decision d, const RoutingState& state) {
  d.sends[d.sendCount++] = d.status;
  if (const int dup = couplerDuplicate(d.status, state)) d.sends[d.sendCount++] = dup;
  return d;
}

Decision bendSwitch(Decision d, int data2, bool latched) {
  if (inRange(data2, 60, 70)) {
    d.command = Command::LatchOff;
    return d;
  }
  const bool up = inRange(data2, 75, 80), down = inRange(data2, 45, 50);
  if (latched || (!up && !down)) return d;
  d.command = Command::BendSwitch;
  d.value = wheelSwitch(d.division, up);
  return d;
}

}  // namespace

BendSwitch wheelSwitch(int division, bool up) {
  static constexpr BendSwitch kSwitches[3][2] = {{kGreatTremolo, kManualCouplerIItoI},
                                                 {kSwellTremolo, kManualCouplerItoII},
                                                 {kPedalCouplerI, kPedalCouplerII}};
  return kSwitches[division == 0 || division == 1 ? division : 2][up ? 0 : 1];
}

int rechannel(int status, const RoutingState& state) {
  if (state.thruMode == 1) {
    const int m = state.activeManual;
    if (inRange(status, 176, 191)) status = 175 + m;
    if (inRange(status, 144, 159)) status = 143 + m;
    if (inRange(status, 224, 239)) status = 223 + m;
    if (inRange(status, 128, 143)) status = 127 + m;
  } else if (state.thruMode == 2) {
    for (int i = 0; i < 3; ++i) {
      const int c = state.fixedChannel[i];
      for (int kind : {kNoteOn, kController, kBend, kProgram, kNoteOff}) {
        if (status == kind + c) return kind + i;
      }
    }
  }
  return status;
}

int couplerDuplicate(int s, const RoutingState& state) {
  // The four checks in their order; the pairs are exclusive, so at most one
  // applies, and a duplicate is never coupled again.
  if (state.manualCoupler == 1 && (s == 144 || s == 128)) return s + 1;
  if (state.manualCoupler == 2 && (s == 145 || s == 129)) return s - 1;
  if (state.pedalCoupler == 1 && (s == 146 || s == 130)) return s - 2;
  if (state.pedalCoupler == 2 && (s == 146 || s == 130)) return s - 1;
  return 0;
}

int expressionValue(int data2) {
  return static_cast<int>(std::lround(data2 * 0.3700787 + 80));
}

Decision route(const RoutingState& state, const Message& m) {
  Decision d;
  RoutingState effective = state;
  if (state.channelCapture && inRange(m.status, 144, 159)) {
    d.captured = m.status - 144;
    // The captured note is routed by the table it has just taught.
    if (inRange(state.captureField, 0, 2))
      effective.fixedChannel[state.captureField] = static_cast<i16>(d.captured);
  }
  d.status = rechannel(m.status, effective);
  const int s = d.status, d1 = m.data1, d2 = m.data2;
  d.division = (s & 0x0F) < 3 ? (s & 0x0F) : 0;
  if (onDivision(s, kNoteOn) && d2 == 0) return send(d, effective);
  if (onDivision(s, kNoteOff)) return send(d, effective);
  if (onDivision(s, kController) && d1 == kSustain) {
    if (d2 == 127) d.command = Command::Arm;
    if (d2 == 0 && state.commandArmed) d.command = Command::PanicDisarm;
    return d;
  }
  if (state.footSwitches && onDivision(s, kController) && (d1 == kSostenuto || d1 == kSoftPedal)) {
    d.command = Command::FootSwitch;
    d.value = d2;
    return d;
  }
  if (state.commandArmed && onDivision(s, kNoteOn)) {
    d.command = inRange(d1, 60, 83) ? Command::Memory : Command::KeyCommand;
    d.value = inRange(d1, 60, 83) ? d1 - 59 : d.division;
    return d;
  }
  if (onDivision(s, kNoteOn)) return send(d, effective);
  if (onDivision(s, kBend)) return bendSwitch(d, d2, state.bendSwitchLatch);
  if (onDivision(s, kController) && (d1 == 7 || d1 == 1 || d1 == 11)) {
    d.command = Command::Expression;
    d.value = expressionValue(d2);
    return d;
  }
  return send(d, effective);
}

}  // namespace kalvant::routing

#include "routing/Routing.h"

#include <gtest/gtest.h>

namespace kalvant::routing {
namespace {

struct Case {
  const char* what;
  RoutingState state;
  Message in;
  std::vector<int> sends;  // statuses sent with the message's data
  Command command = Command::None;
  int value = 0;
};

RoutingState mode(i16 thru, i16 active = 1, i16 manual = 0, i16 pedal = 0, bool armed = false,
                  std::array<i16, 3> channels = {}) {
  RoutingState s;
  s.thruMode = thru, s.activeManual = active, s.manualCoupler = manual, s.pedalCoupler = pedal;
  s.commandArmed = armed, s.fixedChannel = channels;
  return s;
}
RoutingState armed() {
  return mode(0, 1, 0, 0, true);
}
RoutingState fixed(std::array<i16, 3> channels, i16 pedal = 0) {
  return mode(2, 1, 0, pedal, false, channels);
}
std::vector<int> sends(const Decision& d) {
  return {d.sends.begin(), d.sends.begin() + d.sendCount};
}

TEST(Routing, DispatchRulesAndWorkedExamples) {
  const Case cases[] = {
      {"mode 1 Swell, coupler II to I: key", mode(1, 2, 2), {0x90, 60, 100}, {0x91, 0x90}},
      {"mode 1 Swell, coupler II to I: release", mode(1, 2, 2), {0x80, 60, 64}, {0x81, 0x80}},
      {"mode 2 pedalboard with I to Ped", fixed({3, 0, 1}, 1), {0x91, 36, 80}, {0x92, 0x90}},
      {"sustain down arms", mode(0), {0xB0, 64, 127}, {}, Command::Arm},
      {"key 62 armed: memory 3", armed(), {0x90, 62, 100}, {}, Command::Memory, 3},
      {"release while armed is forwarded", armed(), {0x90, 62, 0}, {0x90}},
      {"pedal up armed: panic", armed(), {0xB0, 64, 0}, {}, Command::PanicDisarm},
      {"pedal up not armed: nothing", mode(0), {0xB0, 64, 0}, {}},
      {"pedal half way: nothing", armed(), {0xB0, 64, 60}, {}},
      {"key 84 armed: key map", armed(), {0x92, 84, 90}, {}, Command::KeyCommand, 2},
      {"key 83 armed: memory 24", armed(), {0x91, 83, 90}, {}, Command::Memory, 24},
      {"note on the Great", mode(0), {0x90, 60, 100}, {0x90}},
      {"note on channel 5 passes", mode(0), {0x94, 60, 100}, {0x94}},
      {"sustain on channel 5 passes in mode 0", mode(0), {0xB4, 64, 127}, {0xB4}},
      {"sustain on channel 5 arms in mode 1", mode(1), {0xB4, 64, 127}, {}, Command::Arm},
      {"bend on a division", mode(0), {0xE1, 0, 77}, {}, Command::BendSwitch, kSwellTremolo},
      {"bend on channel 4 passes", mode(0), {0xE3, 0, 77}, {0xE3}},
      {"other controllers pass", mode(0), {0xB0, 91, 40}, {0xB0}},
      {"program change keeps its channel in mode 1", mode(1, 2), {0xC4, 19, 0}, {0xC4}},
      {"program change is remapped in mode 2", fixed({4, 5, 6}), {0xC4, 19, 0}, {0xC0}},
      {"aftertouch is never remapped", fixed({4, 5, 6}), {0xA4, 60, 10}, {0xA4}},
      {"lower field wins", fixed({2, 2, 2}), {0x92, 60, 1}, {0x90}},
      {"unmapped channel keeps its own", fixed({4, 5, 6}), {0x91, 60, 1}, {0x91}},
      // Couplers: at most one duplicate, never coupled again.
      {"I to II", mode(0, 1, 1), {0x90, 60, 1}, {0x90, 0x91}},
      {"I to II does not touch the Swell", mode(0, 1, 1), {0x91, 60, 1}, {0x91}},
      {"Pedal to Great, no manual chain", mode(0, 1, 1, 1), {0x92, 36, 1}, {0x92, 0x90}},
      {"Pedal to Swell", mode(0, 1, 2, 2), {0x82, 36, 1}, {0x82, 0x81}},
      {"controller is not coupled", mode(0, 1, 1), {0xB0, 91, 1}, {0xB0}},
  };
  for (const Case& c : cases) {
    const Decision d = route(c.state, c.in);
    EXPECT_EQ(sends(d), c.sends) << c.what;
    EXPECT_EQ(d.command, c.command) << c.what;
    EXPECT_EQ(d.value, c.command == Command::None ? d.value : c.value) << c.what;
  }
}

TEST(Routing, WheelSwitchesOncePerExcursion) {
  const std::tuple<int, int, bool, Command, int> steps[] = {
      {0xE0, 77, false, Command::BendSwitch, kGreatTremolo},
      {0xE0, 47, true, Command::None, 0},  // swept past the centre: nothing
      {0xE0, 46, false, Command::BendSwitch, kManualCouplerIItoI},
      {0xE2, 80, false, Command::BendSwitch, kPedalCouplerI},
      {0xE2, 45, false, Command::BendSwitch, kPedalCouplerII},
      {0xE1, 50, false, Command::BendSwitch, kManualCouplerItoII},
      {0xE1, 72, false, Command::None, 0},  // between the zones
  };
  for (const auto& [status, data2, latched, command, value] : steps) {
    RoutingState state = mode(0);
    state.bendSwitchLatch = latched;
    const Decision d = route(state, {status, 0, data2});
    EXPECT_EQ(std::tuple(d.command, d.value, d.sendCount), std::tuple(command, value, 0))
        << status << " " << data2;
  }
}

TEST(Routing, CaptureTeachesTheFieldAndRoutesTheSameNote) {
  RoutingState s = fixed({1, 0, 3});
  s.channelCapture = true;
  s.captureField = 0;
  const Decision d = route(s, {0x94, 60, 0});  // any velocity is learned
  EXPECT_EQ(d.captured, 4);
  EXPECT_EQ(sends(d), std::vector<int>{0x90});
  s.channelCapture = false;
  EXPECT_EQ(route(s, {0x94, 60, 10}).captured, -1);
}

TEST(Routing, ExpressionRoundingAndModeOneRechannelling) {
  for (const auto& [in, out] : {std::pair(1, 80), {2, 81}, {100, 117}})
    EXPECT_EQ(expressionValue(in), out) << in;
  for (const auto& [in, out] :
       {std::pair(0x9F, 0x92), {0x8A, 0x82}, {0xB5, 0xB2}, {0xE9, 0xE2}, {0xD0, 0xD0}})
    EXPECT_EQ(rechannel(in, mode(1, 3)), out) << in;  // onto the active division
}

}  // namespace
}  // namespace kalvant::routing

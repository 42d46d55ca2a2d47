// Keys played while the sustain pedal is held are commands to the console:
// stops by number, tremolos, couplers, the console's buttons, temperaments,
// reverbs, tremolo rate and volumes. Keys 60..83 (memories) are handled by
// the routing itself. The computer keyboard recalls memories too.

#include "common/OrganDivisions.h"
#include "routing/InputRouter.h"

namespace kalvant::routing {

namespace {

// White keys 36..52 give the units of a stop number, black keys 37..44 the
// tens.
int unitsOf(int key) {
  constexpr int kUnits[][2] = {{36, 1}, {38, 2}, {40, 3}, {41, 4}, {43, 5},
                               {45, 6}, {47, 7}, {48, 8}, {50, 9}, {52, 0}};
  for (const auto& [k, units] : kUnits) {
    if (k == key) return units;
  }
  return -1;
}

int tensOf(int key) {
  switch (key) {
    case 37:
      return 10;
    case 39:
      return 20;
    case 42:
      return 30;
    case 44:
      return 40;
    default:
      return -1;
  }
}

struct KeyEntry {
  int key;
  Action action;
  int value;
};

// Every key not here (59 among them) is PANIC.
constexpr KeyEntry kKeys[] = {
    {85, Action::Nothing, 0},     {87, Action::Nothing, 0},     {46, Action::About, 0},
    {53, Action::Rec, 0},         {54, Action::Division, 3},    {55, Action::Reset, 0},
    {56, Action::Division, 1},    {57, Action::Clear, 0},       {58, Action::Division, 2},
    {84, Action::Temperament, 0}, {86, Action::Temperament, 1}, {88, Action::Temperament, 2},
    {89, Action::Temperament, 3}, {90, Action::Reverb, 0},      {92, Action::Reverb, 1},
    {94, Action::Reverb, 2},
};

// Steps of 5 that stop at the end of the range.
int stepDown(int v, int lowest) {
  return v > lowest + 5 ? v - 5 : lowest;
}
int stepUp(int v, int highest) {
  return v < highest - 5 ? v + 5 : highest;
}

}  // namespace

std::optional<ConsoleAction> keyCommand(int key, int division, const Keyboards& keyboards,
                                        i16& tremoloRate) {
  if (key >= 60 && key <= 83) return ConsoleAction{Action::Memory, key - 59};
  if (key == 49 || key == 51) {  // the wheel's switches, by key
    return ConsoleAction{Action::BendSwitch, wheelSwitch(division, key == 49)};
  }
  if (key == 91 || key == 93) {
    tremoloRate =
        static_cast<i16>(key == 91 ? stepDown(tremoloRate, 80) : stepUp(tremoloRate, 120));
    return ConsoleAction{Action::TremoloRate};
  }
  if (key == 95 || key == 96) {
    if (division != 0 && division != 1)
      return ConsoleAction{Action::Nothing};  // the Pedal has no volume
    const int v = division == 0 ? keyboards.greatVolume : keyboards.swellVolume;
    return ConsoleAction{Action::Volume, key == 95 ? stepDown(v, 80) : stepUp(v, 127), division};
  }
  for (const KeyEntry& e : kKeys) {
    if (e.key == key) return ConsoleAction{e.action, e.value};
  }
  return std::nullopt;
}

void InputRouter::keyCommand(int key, int division) {
  if (tensOf(key) >= 0) {  // the command stays open for the units key
    stopNumberTens_ = static_cast<i16>(tensOf(key));
    return;
  }
  commandArmed_ = false;
  if (unitsOf(key) >= 0) {
    stopNumberUnits_ = static_cast<i16>(unitsOf(key));
    selectStopByNumber(division);
    return;
  }
  const std::optional<ConsoleAction> a =
      routing::keyCommand(key, division, actions_.keyboards(), settings_.tremoloRate);
  if (!a) {
    panic();
  } else if (a->action != Action::Nothing) {
    actions_.run(*a);
  }
}

// Stop number n of a division is button n + 9 (Great), n + 49 (Swell) or
// n + 79 (Pedal); a number outside the division selects nothing.
void InputRouter::selectStopByNumber(int division) {
  const OrganDivision& d = kDivisions[division >= 0 && division <= 2 ? division : 0];
  const int index = stopNumberTens_ + stopNumberUnits_ + d.firstStop - 1;
  stopNumberTens_ = stopNumberUnits_ = 0;
  if (d.holds(index)) actions_.run({Action::Stop, index});
}

void InputRouter::keyDown(int keyCode) {
  if (keyCode >= 112 && keyCode <= 123) actions_.run({Action::Memory, keyCode - 111});  // F1..F12
}

// The digit row recalls the fixed memories: "1".."9" are 13..21, then the
// three keys right of 9 on an Italian keyboard ("0", apostrophe, "ì") are
// 22, 23 and 24. Layouts without "ì" have "=" at its place (US, UK), so
// "=" recalls 24 too.
void InputRouter::keyPress(int keyAscii) {
  int memory = 0;
  if (keyAscii >= '1' && keyAscii <= '9') {
    memory = keyAscii - 36;
  } else if (keyAscii == '0') {
    memory = 22;
  } else if (keyAscii == '\'') {
    memory = 23;
  } else if (keyAscii == 236 || keyAscii == '=') {
    memory = 24;
  }
  if (memory > 0) actions_.run({Action::Memory, memory});
}

}  // namespace kalvant::routing

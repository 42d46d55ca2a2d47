// Keys played while the sustain pedal is held are commands to the console:
// stops by number, tremolos, couplers, the console's buttons, temperaments,
// reverbs, tremolo rate and volumes. Keys 60..83 (memories) are handled by
// the routing itself.

#include "console/Console.h"
#include "routing/Routing.h"

namespace kalvant {

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

}  // namespace

void Console::Total_Recall(int Nota, int Canale) {
  if (tensOf(Nota) >= 0) {  // the command stays open for the units key
    s.StopNumberTens = static_cast<i16>(tensOf(Nota));
    return;
  }
  if (unitsOf(Nota) >= 0) {
    s.StopNumberUnits = static_cast<i16>(unitsOf(Nota));
    s.StopNumberPending = true;
    selectStopByNumber(Canale);
    s.CommandArmed = false;
    return;
  }
  if (Nota >= 60 && Nota <= 83) {
    c_memory_Click(Nota - 59);
  } else {
    switch (Nota) {
      case 46:
        About_Click();
        break;
      case 49:  // the wheel's switches, by key
      case 51:
        bendSwitch(routing::wheelSwitch(Canale, Nota == 49));
        break;
      case 53:
        Rec_button_Click();
        break;
      case 54:
        PEDALE_Click();
        break;
      case 55:
        RESET_Click();
        break;
      case 56:
        GREAT_Click();
        break;
      case 57:
        CANCEL_Click();
        break;
      case 58:
        SWELL_Click();
        break;
      case 84:
        Temperament_Click(0);
        break;
      case 85:
      case 87:
        break;
      case 86:
        Temperament_Click(1);
        break;
      case 88:
        Temperament_Click(2);
        break;
      case 89:
        Temperament_Click(3);
        break;
      case 90:
        Reverb_Click(0);
        break;
      case 92:
        Reverb_Click(1);
        break;
      case 94:
        Reverb_Click(2);
        break;
      case 91:
        stepTremoloRate(-5);
        break;
      case 93:
        stepTremoloRate(+5);
        break;
      case 95:
        stepVolume(Canale, -5);
        break;
      case 96:
        stepVolume(Canale, +5);
        break;
      default:
        Panic_Click();
        break;  // 59 and every key outside the map
    }
  }
  s.CommandArmed = false;
}

// Stop number n of a division is button n + 9 (Great), n + 49 (Swell) or
// n + 79 (Pedal); a number outside the division selects nothing.
void Console::selectStopByNumber(int division) {
  const OrganDivision& d = kDivisions[division >= 0 && division <= 2 ? division : 0];
  const int index = s.StopNumberTens + s.StopNumberUnits + d.firstStop - 1;
  s.StopNumberTens = s.StopNumberUnits = 0;
  s.StopNumberPending = false;
  if (d.holds(index)) Tiranti_Click(index);
}

void Console::stepTremoloRate(int step) {
  i16& v = s.settings.TremoloValue;
  if (step < 0) {
    v = static_cast<i16>(v > 85 ? v - 5 : 80);
  } else {
    v = static_cast<i16>(v < 115 ? v + 5 : 120);
  }
  // Both tremolos hear the new rate at once; one that is off gets its off
  // message again.
  TREMOLO_GO(s.bank.pending.GreatTremolo);
  TREMOLO_SW(s.bank.pending.SwellTremolo);
}

void Console::stepVolume(int division, int step) {
  if (division != 0 && division != 1) return;  // the Pedal has no volume
  const int v = division == 0 ? s.bank.pending.GreatVolume : s.bank.pending.SwellVolume;
  const int next = step < 0 ? (v > 85 ? v - 5 : 80) : (v < 122 ? v + 5 : 127);
  moveVolume(division, next);
}

}  // namespace kalvant

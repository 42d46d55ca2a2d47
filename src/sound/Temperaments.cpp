// Temperaments: one stops-table entry per division, sent from the menu and
// again after every stop change of that division.

#include "console/Console.h"

namespace kalvant {

namespace {

constexpr const char* kTemperamentItems[] = {"Equal", "MeanTone", "Silbermann", "Kirnberger"};

// Entry of a non-equal temperament for a division (0 Great, 1 Swell,
// 2 Pedal), or -1 for Equal and unknown values.
int temperamentEntry(int temperament, int division) {
  if (temperament < 1 || temperament > 3) return -1;
  return entry::kFirstTemperament + 3 * temperament + division;
}

}  // namespace

void Console::Temperament_Click(int value) {
  const char* item = kTemperamentItems[value];
  const bool marked = !panel.checked(item);
  panel.check(item, marked);
  if (marked) {
    s.settings.GreatTemperament = s.settings.SwellTemperament = s.settings.PedalTemperament =
        static_cast<i16>(value);
  }
  // Choosing the marked item again keeps it marked and sends it again.
  Aggiusta_Check_Menu();
}

void Console::Aggiusta_Check_Menu() {
  for (int t = 0; t < 4; ++t) panel.check(kTemperamentItems[t], s.settings.GreatTemperament == t);
  if (s.settings.GreatTemperament == 0) {
    for (int division = 0; division < 3; ++division)
      INVIO_SYSEX(entry::kFirstTemperament + division);
  }
  TEMPERAMENTO_GO();
  TEMPERAMENTO_SWELL();
  TEMPERAMENTO_PE();
}

void Console::TEMPERAMENTO_GO() {
  if (int e = temperamentEntry(s.settings.GreatTemperament, 0); e >= 0) INVIO_SYSEX(e);
}

void Console::TEMPERAMENTO_SWELL() {
  if (int e = temperamentEntry(s.settings.SwellTemperament, 1); e >= 0) INVIO_SYSEX(e);
}

void Console::TEMPERAMENTO_PE() {
  if (int e = temperamentEntry(s.settings.PedalTemperament, 2); e >= 0) INVIO_SYSEX(e);
}

}  // namespace kalvant

// Temperaments: one stops-table entry per division, sent from the menu and
// again after every stop change of that division.

#include "sound/Sound.h"
#include "stops/StopsTable.h"

namespace kalvant {

namespace {

constexpr MenuItem kTemperamentItems[] = {MenuItem::Equal, MenuItem::MeanTone, MenuItem::Silbermann,
                                          MenuItem::Kirnberger};

// Entry of a non-equal temperament for a division (0 Great, 1 Swell,
// 2 Pedal), or -1 for Equal and unknown values.
int temperamentEntry(int temperament, int division) {
  if (temperament < 1 || temperament > 3) return -1;
  return entry::kFirstTemperament + 3 * temperament + division;
}

}  // namespace

void Sound::Temperament_Click(int value) {
  const MenuItem item = kTemperamentItems[value];
  const bool marked = !view_.menu[item].checked;
  check(item, marked);
  if (marked) {
    settings_.GreatTemperament = settings_.SwellTemperament = settings_.PedalTemperament =
        static_cast<i16>(value);
  }
  // Choosing the marked item again keeps it marked and sends it again.
  Aggiusta_Check_Menu();
}

void Sound::Aggiusta_Check_Menu() {
  for (int t = 0; t < 4; ++t) check(kTemperamentItems[t], settings_.GreatTemperament == t);
  if (settings_.GreatTemperament == 0) {
    for (int division = 0; division < 3; ++division)
      output_.send(entry::kFirstTemperament + division);
  }
  TEMPERAMENTO_GO();
  TEMPERAMENTO_SWELL();
  TEMPERAMENTO_PE();
}

void Sound::sendTemperament(int division, int tag) {
  const i16 temperaments[] = {settings_.GreatTemperament, settings_.SwellTemperament,
                              settings_.PedalTemperament};
  if (division < 0 || division > 2) return;
  if (int e = temperamentEntry(temperaments[division], division); e >= 0) output_.send(e, tag);
}

void Sound::TEMPERAMENTO_GO() {
  sendTemperament(0);
}

void Sound::TEMPERAMENTO_SWELL() {
  sendTemperament(1);
}

void Sound::TEMPERAMENTO_PE() {
  sendTemperament(2);
}

}  // namespace kalvant

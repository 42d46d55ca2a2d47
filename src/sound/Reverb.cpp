// Reverb: Church, Cathedral or Chapel, each one stops-table entry.

#include "sound/Sound.h"
#include "stops/StopsTable.h"

namespace kalvant {

namespace {
constexpr MenuItem kReverbItems[] = {MenuItem::ReverbChurch, MenuItem::ReverbCathedral,
                                     MenuItem::ReverbChapel};
}

void Sound::Reverb_Click(int type) {
  const bool marked = !view_.menu[kReverbItems[type]].checked;
  check(kReverbItems[type], marked);
  if (!marked) return;  // the current reverb clicked off: nothing is sent
  settings_.ReverbType = static_cast<i16>(type);
  Adjust_Reverb_check();
}

void Sound::Adjust_Reverb_check() {
  for (int t = 0; t < 3; ++t) check(kReverbItems[t], settings_.ReverbType == t);
  if (settings_.ReverbType >= 0 && settings_.ReverbType <= 2) {
    output_.send(entry::kReverbChurch + settings_.ReverbType);
  }
}

}  // namespace kalvant

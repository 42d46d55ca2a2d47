// Division buttons (which division a single keyboard plays in normal
// rechannelling) and the four couplers. Nothing is sent: they change the
// routing of the notes that follow.

#include "console/Console.h"

namespace kalvant {

struct CouplerPair {
  CombinationArray Combinations::*array;
  ButtonView Panel::*first;   // code 1
  ButtonView Panel::*second;  // code 2
};

namespace {

constexpr CouplerPair kManual{&Combinations::ManualCoupler, &Panel::UNI_II, &Panel::UNII_I};
constexpr CouplerPair kPedal{&Combinations::PedalCoupler, &Panel::UNPI, &Panel::UNPII};

}  // namespace

void Console::GREAT_Click() {
  chooseDivision(1);
}
void Console::SWELL_Click() {
  chooseDivision(2);
}
void Console::PEDALE_Click() {
  chooseDivision(3);
}

void Console::chooseDivision(int code) {
  s.comb.ActiveManual[kPending] = static_cast<i16>(code);
  s.comb.ActiveManual[kLive] = s.comb.ActiveManual[kPending];
  colori_tasti_GOSWPE();
}

void Console::colori_tasti_GOSWPE() {
  ButtonView* buttons[] = {&panel.GREAT, &panel.SWELL, &panel.PEDALE};
  if (s.settings.ThruMode != 1) {
    for (ButtonView* b : buttons) panel.paint(*b, Lamp::Inactive);
    return;
  }
  const int active = s.comb.ActiveManual[kPending];
  if (active >= 1 && active <= 3) {
    for (int i = 0; i < 3; ++i)
      panel.paint(*buttons[i], i + 1 == active ? Lamp::Lit : Lamp::Inactive);
  }
  Marca_Led_giallo();
}

// Pressing a coupler toggles it; switching one on switches its partner off.
void Console::toggleCoupler(const CouplerPair& pair, int code) {
  CombinationArray& a = s.comb.*pair.array;
  const int live = a[kLive];
  if (live >= 0 && live <= 2) {
    const int next = live == code ? 0 : code;
    a[kPending] = static_cast<i16>(next);
    panel.paintCouplerPair(panel.*pair.first, panel.*pair.second, next);
  }
  a[kLive] = a[kPending];
  Marca_Led_giallo();
}

void Console::UNI_II_Click() {
  toggleCoupler(kManual, 1);
}
void Console::UNII_I_Click() {
  toggleCoupler(kManual, 2);
}
void Console::UNPI_Click() {
  toggleCoupler(kPedal, 1);
}
void Console::UNPII_Click() {
  toggleCoupler(kPedal, 2);
}

}  // namespace kalvant

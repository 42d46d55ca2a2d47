// Division buttons (which division a single keyboard plays in normal
// rechannelling) and the four couplers. Nothing is sent: they change the
// routing of the notes that follow.

#include "console/Console.h"

namespace kalvant {

struct CouplerPair {
  std::int16_t Registration::*code;
  ButtonView Panel::*first;   // code 1
  ButtonView Panel::*second;  // code 2
};

namespace {

constexpr CouplerPair kManual{&Registration::ManualCoupler, &Panel::UNI_II, &Panel::UNII_I};
constexpr CouplerPair kPedal{&Registration::PedalCoupler, &Panel::UNPI, &Panel::UNPII};

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
  s.bank.pending.ActiveManual = static_cast<i16>(code);
  s.bank.live.ActiveManual = s.bank.pending.ActiveManual;
  colori_tasti_GOSWPE();
}

void Console::colori_tasti_GOSWPE() {
  ButtonView* buttons[] = {&panel.GREAT, &panel.SWELL, &panel.PEDALE};
  if (s.settings.ThruMode != 1) {
    for (ButtonView* b : buttons) panel.paint(*b, Lamp::Inactive);
    return;
  }
  const int active = s.bank.pending.ActiveManual;
  if (active >= 1 && active <= 3) {
    for (int i = 0; i < 3; ++i)
      panel.paint(*buttons[i], i + 1 == active ? Lamp::Lit : Lamp::Inactive);
  }
  Marca_Led_giallo();
}

// Pressing a coupler toggles it; switching one on switches its partner off.
void Console::toggleCoupler(const CouplerPair& pair, int code) {
  const int live = s.bank.live.*pair.code;
  if (live >= 0 && live <= 2) {
    const int next = live == code ? 0 : code;
    s.bank.pending.*pair.code = static_cast<i16>(next);
    panel.paintCouplerPair(panel.*pair.first, panel.*pair.second, next);
  }
  s.bank.live.*pair.code = s.bank.pending.*pair.code;
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

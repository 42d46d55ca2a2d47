// Division buttons (which division a single keyboard plays in normal
// rechannelling) and the four couplers. Nothing is sent: they change the
// routing of the notes that follow.

#include "registration/Combinations.h"

namespace kalvant {

struct Combinations::CouplerPair {
  std::int16_t Registration::*code;
  ButtonView CombinationsView::*first;   // code 1
  ButtonView CombinationsView::*second;  // code 2
};

void Combinations::GREAT_Click() {
  chooseDivision(1);
}
void Combinations::SWELL_Click() {
  chooseDivision(2);
}
void Combinations::PEDALE_Click() {
  chooseDivision(3);
}

void Combinations::chooseDivision(int code) {
  bank_.pending.ActiveManual = static_cast<i16>(code);
  bank_.live.ActiveManual = bank_.pending.ActiveManual;
  colori_tasti_GOSWPE();
}

void Combinations::colori_tasti_GOSWPE() {
  ButtonView* buttons[] = {&view_.greatDivision, &view_.swellDivision, &view_.pedalDivision};
  if (settings_.ThruMode != 1) {
    for (ButtonView* b : buttons) paint(*b, Lamp::Inactive);
    return;
  }
  const int active = bank_.pending.ActiveManual;
  if (active >= 1 && active <= 3) {
    for (int i = 0; i < 3; ++i) paint(*buttons[i], i + 1 == active ? Lamp::Lit : Lamp::Inactive);
  }
  Marca_Led_giallo();
}

// Pressing a coupler toggles it; switching one on switches its partner off.
void Combinations::toggleCoupler(const CouplerPair& pair, int code) {
  const int live = bank_.live.*pair.code;
  if (live >= 0 && live <= 2) {
    const int next = live == code ? 0 : code;
    bank_.pending.*pair.code = static_cast<i16>(next);
    paintCouplerPair(view_.*pair.first, view_.*pair.second, next);
  }
  bank_.live.*pair.code = bank_.pending.*pair.code;
  Marca_Led_giallo();
}

void Combinations::UNI_II_Click() {
  toggleCoupler({&Registration::ManualCoupler, &CombinationsView::swellToGreat,
                 &CombinationsView::greatToSwell},
                1);
}
void Combinations::UNII_I_Click() {
  toggleCoupler({&Registration::ManualCoupler, &CombinationsView::swellToGreat,
                 &CombinationsView::greatToSwell},
                2);
}
void Combinations::UNPI_Click() {
  toggleCoupler({&Registration::PedalCoupler, &CombinationsView::greatToPedal,
                 &CombinationsView::swellToPedal},
                1);
}
void Combinations::UNPII_Click() {
  toggleCoupler({&Registration::PedalCoupler, &CombinationsView::greatToPedal,
                 &CombinationsView::swellToPedal},
                2);
}

}  // namespace kalvant

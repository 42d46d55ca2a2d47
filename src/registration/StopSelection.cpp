// Stop selection, the tremolo buttons and AGGIORNAMENTO_KALVO: it sends what
// differs between the pending slot and the live slot, then makes them equal.

#include "registration/Combinations.h"

namespace kalvant {

void Combinations::Tiranti_Click(int Index) {
  if (kGreatDivision.holds(Index)) bank_.pending.GreatStop = static_cast<i16>(Index);
  if (kSwellDivision.holds(Index)) bank_.pending.SwellStop = static_cast<i16>(Index);
  if (kPedalDivision.holds(Index)) bank_.pending.PedalStop = static_cast<i16>(Index);
  AGGIORNAMENTO_KALVO();
  Marca_Led_giallo();
  // After a change by hand no fixed memory is shown as active.
  paintFixedBar(0);
}

// One division's stop: send it and its temperament, move the lit button.
// Both supersede what of an earlier change of the division is still queued,
// so the module ends with the stop lit here. Only a button of the same
// division is unlit: CLEAR leaves placeholder live stops (Swell 49, Pedal 79)
// that name buttons of other divisions.
void Combinations::sendStopIfChanged(std::int16_t Registration::*stop, int division) {
  const int pending = bank_.pending.*stop;
  const int live = bank_.live.*stop;
  if (pending == live) return;
  output_.sendStop(pending, division);
  sound_.sendTemperament(division, division);
  if (kDivisions[division].holds(live)) paint(view_.stopButtons[live], Lamp::Unlit);
  if (isStopIndex(bank_.pending.*stop)) paint(view_.stopButtons[bank_.pending.*stop], Lamp::Lit);
  bank_.live.*stop = bank_.pending.*stop;
}

void Combinations::AGGIORNAMENTO_KALVO() {
  MemoryBank& c = bank_;
  sendStopIfChanged(&Registration::GreatStop, 0);
  // A tremolo that is on is sent again on every run: a stop's set-up may
  // have changed the part's vibrato.
  if (c.pending.GreatTremolo == 1) sound_.TREMOLO_GO(1);
  sendStopIfChanged(&Registration::SwellStop, 1);
  if (c.pending.SwellTremolo == 1) sound_.TREMOLO_SW(1);
  sendStopIfChanged(&Registration::PedalStop, 2);
  if (c.pending.GreatTremolo != c.live.GreatTremolo) Tir_TREMOLOGO_Click();
  if (c.pending.SwellTremolo != c.live.SwellTremolo) TIR_TREMOLOSW_Click();
  if (c.pending.GreatVolume != c.live.GreatVolume) sound_.moveVolume(0, c.pending.GreatVolume);
  if (c.pending.SwellVolume != c.live.SwellVolume) sound_.moveVolume(1, c.pending.SwellVolume);
  // Couplers send nothing: they act on the routing of later notes.
  if (c.pending.PedalCoupler != c.live.PedalCoupler) {
    paintCouplerPair(view_.greatToPedal, view_.swellToPedal, c.pending.PedalCoupler);
    c.live.PedalCoupler = c.pending.PedalCoupler;
  }
  if (c.pending.ManualCoupler != c.live.ManualCoupler) {
    paintCouplerPair(view_.swellToGreat, view_.greatToSwell, c.pending.ManualCoupler);
    c.live.ManualCoupler = c.pending.ManualCoupler;
  }
  if (c.pending.ActiveManual != c.live.ActiveManual) {
    c.live.ActiveManual = c.pending.ActiveManual;
    colori_tasti_GOSWPE();
  }
}

void Combinations::resendLive() {
  const std::int16_t Registration::*stops[] = {&Registration::GreatStop, &Registration::SwellStop,
                                               &Registration::PedalStop};
  for (int division = 0; division < 3; ++division)
    output_.sendStop(bank_.live.*stops[division], division);
  sound_.resendLive(bank_.live.GreatTremolo, bank_.live.SwellTremolo);
}

void Combinations::Tir_TREMOLOGO_Click() {
  toggleTremolo(&Registration::GreatTremolo, 0);
}

void Combinations::TIR_TREMOLOSW_Click() {
  toggleTremolo(&Registration::SwellTremolo, 1);
}

// The new state is always the opposite of the live one.
void Combinations::toggleTremolo(std::int16_t Registration::*state, int division) {
  std::int16_t& pending = bank_.pending.*state;
  pending = bank_.live.*state != 0 ? 0 : 1;
  if (division == 0) {
    sound_.TREMOLO_GO(pending);
  } else {
    sound_.TREMOLO_SW(pending);
  }
  bank_.live.*state = pending;
  Marca_Led_giallo();
}

void Combinations::Marca_Led_giallo() {
  if (memoryShownGreen_ && currentMemory_ >= 1 && currentMemory_ <= 12) {
    memoryShownGreen_ = false;
    showLed(currentMemory_, yellowOnPath_, "current, changed");
  }
}

}  // namespace kalvant

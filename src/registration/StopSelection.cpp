// Stop selection and AGGIORNAMENTO_KALVO, the one procedure through which
// every registration change reaches the module: it sends what differs
// between the pending slot and the live slot, then makes them equal.

#include "console/Console.h"

namespace kalvant {

void Console::Tiranti_Click(int Index) {
  if (kGreatDivision.holds(Index)) s.bank.pending.GreatStop = static_cast<i16>(Index);
  if (kSwellDivision.holds(Index)) s.bank.pending.SwellStop = static_cast<i16>(Index);
  if (kPedalDivision.holds(Index)) s.bank.pending.PedalStop = static_cast<i16>(Index);
  AGGIORNAMENTO_KALVO();
  Marca_Led_giallo();
  // After a change by hand no fixed memory is shown as active.
  paintFixedBar(0);
}

// One division's stop: send it and its temperament, move the lit button.
// Only a button of the same division is unlit: CLEAR leaves placeholder live
// stops (Swell 49, Pedal 79) that name buttons of other divisions, and a
// stop clicked during CLEAR's pauses must stay lit.
void Console::sendStopIfChanged(std::int16_t Registration::*stop, const OrganDivision& division,
                                void (Console::*temperament)()) {
  const int pending = s.bank.pending.*stop;
  if (pending == s.bank.live.*stop) return;
  INVIO_SYSEX(pending);
  (this->*temperament)();
  // Read again: the sending pauses let other handlers run.
  const int live = s.bank.live.*stop;
  if (division.holds(live)) panel.paint(panel.Tiranti[live], Lamp::Unlit);
  if (isStopIndex(s.bank.pending.*stop))
    panel.paint(panel.Tiranti[s.bank.pending.*stop], Lamp::Lit);
  s.bank.live.*stop = s.bank.pending.*stop;
}

void Console::AGGIORNAMENTO_KALVO() {
  MemoryBank& c = s.bank;
  sendStopIfChanged(&Registration::GreatStop, kGreatDivision, &Console::TEMPERAMENTO_GO);
  // A tremolo that is on is sent again on every run: a stop's set-up may
  // have changed the part's vibrato.
  if (c.pending.GreatTremolo == 1) TREMOLO_GO(1);
  sendStopIfChanged(&Registration::SwellStop, kSwellDivision, &Console::TEMPERAMENTO_SWELL);
  if (c.pending.SwellTremolo == 1) TREMOLO_SW(1);
  sendStopIfChanged(&Registration::PedalStop, kPedalDivision, &Console::TEMPERAMENTO_PE);
  if (c.pending.GreatTremolo != c.live.GreatTremolo) Tir_TREMOLOGO_Click();
  if (c.pending.SwellTremolo != c.live.SwellTremolo) TIR_TREMOLOSW_Click();
  if (c.pending.GreatVolume != c.live.GreatVolume) moveVolume(0, c.pending.GreatVolume);
  if (c.pending.SwellVolume != c.live.SwellVolume) moveVolume(1, c.pending.SwellVolume);
  // Couplers send nothing: they act on the routing of later notes.
  if (c.pending.PedalCoupler != c.live.PedalCoupler) {
    panel.paintCouplerPair(panel.UNPI, panel.UNPII, c.pending.PedalCoupler);
    c.live.PedalCoupler = c.pending.PedalCoupler;
  }
  if (c.pending.ManualCoupler != c.live.ManualCoupler) {
    panel.paintCouplerPair(panel.UNI_II, panel.UNII_I, c.pending.ManualCoupler);
    c.live.ManualCoupler = c.pending.ManualCoupler;
  }
  if (c.pending.ActiveManual != c.live.ActiveManual) {
    c.live.ActiveManual = c.pending.ActiveManual;
    colori_tasti_GOSWPE();
  }
}

void Console::Marca_Led_giallo() {
  if (s.LedGreen && s.CurrentMemory >= 1 && s.CurrentMemory <= 12) {
    s.LedGreen = false;
    panel.setPicture(panel.c_memory[s.CurrentMemory], s.LedYellowOnPath);
  }
}

}  // namespace kalvant

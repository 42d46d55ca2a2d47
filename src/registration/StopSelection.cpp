// Stop selection and AGGIORNAMENTO_KALVO, the one procedure through which
// every registration change reaches the module: it sends what differs
// between the pending slot and the live slot, then makes them equal.

#include "console/Console.h"

namespace kalvant {

void Console::Tiranti_Click(int Index) {
  if (Index >= 10 && Index <= 49) s.comb.GreatStop[kPending] = static_cast<i16>(Index);
  if (Index >= 50 && Index <= 79) s.comb.SwellStop[kPending] = static_cast<i16>(Index);
  if (Index >= 80 && Index <= 99) s.comb.PedalStop[kPending] = static_cast<i16>(Index);
  AGGIORNAMENTO_KALVO();
  Marca_Led_giallo();
  // After a change by hand no fixed memory is shown as active.
  paintFixedBar(0);
}

// One division's stop: send it and its temperament, move the lit button.
// Only a button of the same division is unlit: CLEAR leaves placeholder live
// stops (Swell 49, Pedal 79) that name buttons of other divisions, and a
// stop clicked during CLEAR's pauses must stay lit.
void Console::sendStopIfChanged(CombinationArray& stop, int first, int last,
                                void (Console::*temperament)()) {
  if (stop[kPending] == stop[kLive]) return;
  INVIO_SYSEX(stop[kPending]);
  (this->*temperament)();
  if (stop[kLive] >= first && stop[kLive] <= last)
    panel.paint(panel.Tiranti[stop[kLive]], Lamp::Unlit);
  if (isStopIndex(stop[kPending])) panel.paint(panel.Tiranti[stop[kPending]], Lamp::Lit);
  stop[kLive] = stop[kPending];
}

void Console::AGGIORNAMENTO_KALVO() {
  Combinations& c = s.comb;
  sendStopIfChanged(c.GreatStop, 10, 49, &Console::TEMPERAMENTO_GO);
  // A tremolo that is on is sent again on every run: a stop's set-up may
  // have changed the part's vibrato.
  if (c.GreatTremolo[kPending] == 1) TREMOLO_GO(1);
  sendStopIfChanged(c.SwellStop, 50, 79, &Console::TEMPERAMENTO_SWELL);
  if (c.SwellTremolo[kPending] == 1) TREMOLO_SW(1);
  sendStopIfChanged(c.PedalStop, 80, 99, &Console::TEMPERAMENTO_PE);
  if (c.GreatTremolo[kPending] != c.GreatTremolo[kLive]) Tir_TREMOLOGO_Click();
  if (c.SwellTremolo[kPending] != c.SwellTremolo[kLive]) TIR_TREMOLOSW_Click();
  if (c.GreatVolume[kPending] != c.GreatVolume[kLive]) moveVolume(0, c.GreatVolume[kPending]);
  if (c.SwellVolume[kPending] != c.SwellVolume[kLive]) moveVolume(1, c.SwellVolume[kPending]);
  // Couplers send nothing: they act on the routing of later notes.
  if (c.PedalCoupler[kPending] != c.PedalCoupler[kLive]) {
    panel.paintCouplerPair(panel.UNPI, panel.UNPII, c.PedalCoupler[kPending]);
    c.PedalCoupler[kLive] = c.PedalCoupler[kPending];
  }
  if (c.ManualCoupler[kPending] != c.ManualCoupler[kLive]) {
    panel.paintCouplerPair(panel.UNI_II, panel.UNII_I, c.ManualCoupler[kPending]);
    c.ManualCoupler[kLive] = c.ManualCoupler[kPending];
  }
  if (c.ActiveManual[kPending] != c.ActiveManual[kLive]) {
    c.ActiveManual[kLive] = c.ActiveManual[kPending];
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

// Tremolo: controller 1 on the division's channel, the rate value to switch
// it on and 0 to switch it off; the rate is set in its own dialog.

#include <algorithm>

#include "console/Console.h"

namespace kalvant {

namespace {
constexpr int kGreatController = 0xB0;  // Great channel 1
constexpr int kSwellController = 0xB1;  // Swell channel 2
constexpr int kModulation = 1;
}  // namespace

void Console::Tir_TREMOLOGO_Click() {
  CombinationArray& t = s.comb.GreatTremolo;
  t[kPending] = t[kLive] != 0 ? 0 : 1;
  TREMOLO_GO(t[kPending]);
  t[kLive] = t[kPending];
  Marca_Led_giallo();
}

void Console::TIR_TREMOLOSW_Click() {
  CombinationArray& t = s.comb.SwellTremolo;
  t[kPending] = t[kLive] != 0 ? 0 : 1;
  TREMOLO_SW(t[kPending]);
  t[kLive] = t[kPending];
  Marca_Led_giallo();
}

void Console::TREMOLO_GO(int State) {
  panel.paint(panel.Tir_TREMOLOGO, State == 1 ? Lamp::Lit : Lamp::Unlit);
  w_.MIDIOutput1.sendShort(kGreatController, kModulation, State == 1 ? s.settings.TremoloValue : 0);
}

void Console::TREMOLO_SW(int State) {
  panel.paint(panel.TIR_TREMOLOSW, State == 1 ? Lamp::Lit : Lamp::Unlit);
  w_.MIDIOutput1.sendShort(kSwellController, kModulation, State == 1 ? s.settings.TremoloValue : 0);
}

void Console::tremoloRate_Click() {
  TremoloView& v = panel.Tremolo;
  if (v.visible) return;  // already open: the window brings it to the front
  s.TremoloValueBackup = s.settings.TremoloValue;
  // A value from a file outside 100..127 stays as it is until the knob moves.
  TremoloView shown{true, std::clamp<int>(s.settings.TremoloValue, 100, 127),
                    std::to_string(s.settings.TremoloValue)};
  panel.set(v, shown);
}

void Console::Tremolo_Slider1_Scroll(int value) {
  s.settings.TremoloValue = static_cast<i16>(std::clamp(value, 100, 127));
  panel.set(panel.Tremolo.Slider1, static_cast<int>(s.settings.TremoloValue));
  panel.set(panel.Tremolo.Valore, std::to_string(s.settings.TremoloValue));
  Aggiorna_Tremolo();
}

// Resends the rate to the tremolos that are on, on the controller chosen in
// the configuration (1, or 2 for modules that take the rate there).
void Console::Aggiorna_Tremolo() {
  const int controller = s.settings.TremoloController == 0   ? 1
                         : s.settings.TremoloController == 1 ? 2
                                                             : 0;
  if (controller == 0) return;
  if (s.comb.GreatTremolo[kPending] == 1) {
    w_.MIDIOutput1.sendShort(kGreatController, controller, s.settings.TremoloValue);
  }
  if (s.comb.SwellTremolo[kPending] == 1) {
    w_.MIDIOutput1.sendShort(kSwellController, controller, s.settings.TremoloValue);
  }
}

void Console::Tremolo_OK_Click() {
  panel.set(panel.Tremolo, TremoloView{});
}

void Console::Tremolo_CANCEL_Click() {
  if (!panel.Tremolo.visible) return;
  s.settings.TremoloValue = s.TremoloValueBackup;
  Aggiorna_Tremolo();
  panel.set(panel.Tremolo, TremoloView{});
}

}  // namespace kalvant

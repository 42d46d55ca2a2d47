// Tremolo: controller 1 on the division's channel, the rate value to switch
// it on and 0 to switch it off; the rate is set in its own dialog.

#include <algorithm>

#include "console/Console.h"

namespace kalvant {

struct TremoloButton {
  std::int16_t Registration::*state;
  ButtonView Panel::*button;
  const OrganDivision* division;
};

namespace {
constexpr TremoloButton kGreat{&Registration::GreatTremolo, &Panel::Tir_TREMOLOGO, &kGreatDivision};
constexpr TremoloButton kSwell{&Registration::SwellTremolo, &Panel::TIR_TREMOLOSW, &kSwellDivision};
}  // namespace

void Console::Tir_TREMOLOGO_Click() {
  toggleTremolo(kGreat);
}
void Console::TIR_TREMOLOSW_Click() {
  toggleTremolo(kSwell);
}
void Console::TREMOLO_GO(int State) {
  sendTremolo(kGreat, State);
}
void Console::TREMOLO_SW(int State) {
  sendTremolo(kSwell, State);
}

// The new state is always the opposite of the live one.
void Console::toggleTremolo(const TremoloButton& tremolo) {
  std::int16_t& pending = s.bank.pending.*tremolo.state;
  pending = s.bank.live.*tremolo.state != 0 ? 0 : 1;
  sendTremolo(tremolo, pending);
  s.bank.live.*tremolo.state = pending;
  Marca_Led_giallo();
}

void Console::sendTremolo(const TremoloButton& tremolo, int State) {
  panel.paint(panel.*tremolo.button, State == 1 ? Lamp::Lit : Lamp::Unlit);
  output_.controller(*tremolo.division, ModuleOutput::kModulation,
                     State == 1 ? s.settings.TremoloValue : 0);
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
  if (s.bank.pending.GreatTremolo == 1) {
    output_.controller(kGreatDivision, controller, s.settings.TremoloValue);
  }
  if (s.bank.pending.SwellTremolo == 1) {
    output_.controller(kSwellDivision, controller, s.settings.TremoloValue);
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

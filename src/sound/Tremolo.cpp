// Tremolo: controller 1 on the division's channel, the rate value to switch
// it on and 0 to switch it off; the rate is set in its own dialog.

#include <algorithm>

#include "sound/Sound.h"

namespace kalvant {

void Sound::TREMOLO_GO(int State) {
  sendTremolo(kGreatDivision, State);
}
void Sound::TREMOLO_SW(int State) {
  sendTremolo(kSwellDivision, State);
}

void Sound::sendTremolo(const OrganDivision& division, int State) {
  ButtonView& button =
      division.channel == kGreatDivision.channel ? view_.greatTremolo : view_.swellTremolo;
  set(button.lamp, State == 1 ? Lamp::Lit : Lamp::Unlit);
  output_.controller(division, ModuleOutput::kModulation, State == 1 ? settings_.TremoloValue : 0);
}

void Sound::tremoloRate_Click() {
  if (view_.tremoloRate.visible) return;  // already open: the window brings it to the front
  rateBeforeDialog_ = settings_.TremoloValue;
  // A value from a file outside 100..127 stays as it is until the knob moves.
  set(view_.tremoloRate, TremoloRateView{true, std::clamp<int>(settings_.TremoloValue, 100, 127),
                                         std::to_string(settings_.TremoloValue)});
}

void Sound::Tremolo_Slider1_Scroll(int value) {
  settings_.TremoloValue = static_cast<i16>(std::clamp(value, 100, 127));
  set(view_.tremoloRate.tremoloRateSlider, static_cast<int>(settings_.TremoloValue));
  set(view_.tremoloRate.tremoloRateText, std::to_string(settings_.TremoloValue));
  Aggiorna_Tremolo();
}

// Resends the rate to the tremolos that are on, on the controller chosen in
// the configuration (1, or 2 for modules that take the rate there).
void Sound::Aggiorna_Tremolo() {
  const int controller = settings_.TremoloController == 0   ? 1
                         : settings_.TremoloController == 1 ? 2
                                                            : 0;
  if (controller == 0) return;
  for (const OrganDivision* d : {&kGreatDivision, &kSwellDivision}) {
    if (tremoloOn && tremoloOn(*d)) output_.controller(*d, controller, settings_.TremoloValue);
  }
}

void Sound::Tremolo_OK_Click() {
  set(view_.tremoloRate, TremoloRateView{});
}

void Sound::Tremolo_CANCEL_Click() {
  if (!view_.tremoloRate.visible) return;
  settings_.TremoloValue = rateBeforeDialog_;
  Aggiorna_Tremolo();
  set(view_.tremoloRate, TremoloRateView{});
}

}  // namespace kalvant

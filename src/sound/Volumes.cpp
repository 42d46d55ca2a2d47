// Division volumes: the Great and Swell sliders send Expression (CC 11) on
// their division's channel; the "=" button couples the two knobs.

#include "console/Console.h"

namespace kalvant {

struct VolumeSlider {
  SliderView Panel::*slider;
  LabelView Panel::*label;
  std::int16_t Registration::*volume;
  const OrganDivision* division;
  SliderView Panel::*other;
};

namespace {

constexpr VolumeSlider kGreat{&Panel::Slider1, &Panel::EXPGO, &Registration::GreatVolume,
                              &kGreatDivision, &Panel::Slider2};
constexpr VolumeSlider kSwell{&Panel::Slider2, &Panel::EXPSW, &Registration::SwellVolume,
                              &kSwellDivision, &Panel::Slider1};

}  // namespace

void Console::Slider1_Scroll() {
  scrollVolume(kGreat);
}
void Console::Slider2_Scroll() {
  scrollVolume(kSwell);
}

void Console::scrollVolume(const VolumeSlider& v) {
  std::int16_t& pending = s.bank.pending.*v.volume;
  pending = static_cast<i16>((panel.*v.slider).value);
  output_.controller(*v.division, ModuleOutput::kExpression, pending);
  panel.setText(panel.*v.label, std::to_string(pending));
  s.bank.live.*v.volume = pending;
  // Coupled: the other knob follows, but sends only when moved itself.
  if (s.settings.SlidersCoupled == 1) setSliderPosition(panel.*v.other, (panel.*v.slider).value);
  Marca_Led_giallo();
}

// A volume set from elsewhere (a pedal, a key command, a memory): the knob
// moves and sends as if the organist had turned it.
void Console::moveVolume(int division, int value) {
  const VolumeSlider& v = division == 0 ? kGreat : kSwell;
  setSliderPosition(panel.*v.slider, value);
  scrollVolume(v);
}

void Console::Couplingsliders_Click() {
  Accoppia_Sliders();
}

void Console::Accoppia_Sliders() {
  s.settings.SlidersCoupled = s.settings.SlidersCoupled != 0 ? 0 : 1;
  showCouplingButton();
}

void Console::showCouplingButton() {
  panel.paint(panel.Couplingsliders, s.settings.SlidersCoupled != 0 ? Lamp::Lit : Lamp::Unlit);
}

}  // namespace kalvant

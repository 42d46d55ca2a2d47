// Division volumes: the Great and Swell sliders send Expression (CC 11) on
// their division's channel; the "=" button couples the two knobs.

#include <algorithm>

#include "sound/Sound.h"

namespace kalvant {

namespace {

struct VolumeSlider {
  SliderView SoundView::*slider;
  LabelView SoundView::*label;
  const OrganDivision* division;
  SliderView SoundView::*other;
};

constexpr VolumeSlider kVolumes[2] = {
    {&SoundView::greatVolume, &SoundView::greatVolumeText, &kGreatDivision,
     &SoundView::swellVolume},
    {&SoundView::swellVolume, &SoundView::swellVolumeText, &kSwellDivision,
     &SoundView::greatVolume},
};

}  // namespace

// The knob is where the player put it; the value is sent as it is.
void Sound::scrollVolume(int division, int value) {
  if (division != 0 && division != 1) return;
  const VolumeSlider& v = kVolumes[division];
  set((view_.*v.slider).value, value);
  output_.controller(*v.division, ModuleOutput::kExpression, value);
  set((view_.*v.label).text, std::to_string(value));
  // Coupled: the other knob follows, but sends only when moved itself.
  if (settings_.SlidersCoupled == 1) {
    SliderView& other = view_.*v.other;
    set(other.value, std::clamp(value, other.minimum, other.maximum));
  }
  if (volumeSent) volumeSent(division, value);
}

// A volume set from elsewhere (a pedal, a key command, a memory): the knob
// moves and sends as if the organist had turned it.
void Sound::moveVolume(int division, int value) {
  if (division != 0 && division != 1) return;
  const SliderView& slider = view_.*kVolumes[division].slider;
  scrollVolume(division, std::clamp(value, slider.minimum, slider.maximum));
}

void Sound::Couplingsliders_Click() {
  Accoppia_Sliders();
}

void Sound::Accoppia_Sliders() {
  settings_.SlidersCoupled = settings_.SlidersCoupled != 0 ? 0 : 1;
  showCouplingButton();
}

void Sound::showCouplingButton() {
  set(view_.sliderCoupling.lamp, settings_.SlidersCoupled != 0 ? Lamp::Lit : Lamp::Unlit);
}

}  // namespace kalvant

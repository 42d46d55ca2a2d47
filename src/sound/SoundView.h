#pragma once
// What the sound settings show: the tremolo buttons, the two volume sliders
// with their values and coupling button, the temperament and reverb menu
// items and the "Tremolo Rate" dialog.

#include <string>

#include "view/MenuItems.h"
#include "view/Views.h"

namespace kalvant {

struct TremoloRateView {
  bool visible = false;
  int tremoloRateSlider = 100;  // 100..127
  std::string tremoloRateText;
  bool operator==(const TremoloRateView&) const = default;
};

struct SoundView {
  ButtonView greatTremolo, swellTremolo, sliderCoupling;
  SliderView greatVolume, swellVolume;
  LabelView greatVolumeText, swellVolumeText;
  // The Temperament and Reverb items and "Tremolo Rate" (isSoundItem).
  MenuItemViews menu;
  TremoloRateView tremoloRate;
  bool operator==(const SoundView&) const = default;
};

}  // namespace kalvant

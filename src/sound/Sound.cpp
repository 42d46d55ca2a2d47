#include "sound/Sound.h"

#include "stops/StopsTable.h"

namespace kalvant {

namespace {

SliderView volumeSlider(const char* tooltip) {
  SliderView s;
  s.minimum = 80;
  s.maximum = 127;
  s.value = 127;
  s.tooltip = tooltip;
  return s;
}

}  // namespace

Sound::Sound(Settings& settings, OutputSchedule& output) : settings_(settings), output_(output) {
  view_.greatTremolo =
      makeButton("Tremolo", "Great tremolo; move the pitch-bend wheel up for a fast switch");
  view_.swellTremolo =
      makeButton("Tremolo ", "Swell tremolo; move the pitch-bend wheel up for a fast switch");
  view_.sliderCoupling = makeButton("=", "Couple the Great and Swell volume sliders");
  view_.greatVolume = volumeSlider("Great volume");
  view_.swellVolume = volumeSlider("Swell volume");
  view_.greatVolumeText.text = view_.swellVolumeText.text = "127";
  for (const MenuItemInfo& m : kMenuItems) {
    if (isSoundItem(m.item)) view_.menu[m.item].caption = m.caption;
  }
}

void Sound::check(MenuItem item, bool on) {
  set(view_.menu[item].checked, on);
}

void Sound::showReset(int greatVolume, int swellVolume) {
  set(view_.greatVolume.value, greatVolume);
  set(view_.greatVolumeText.text, std::to_string(greatVolume));
  set(view_.swellVolume.value, swellVolume);
  set(view_.swellVolumeText.text, std::to_string(swellVolume));
}

void Sound::unlightTremolos() {
  set(view_.greatTremolo.lamp, Lamp::Unlit);
  set(view_.swellTremolo.lamp, Lamp::Unlit);
}

// Equal sends nothing (sendTemperament): it is the module's own tuning.
void Sound::resendLive(int greatTremolo, int swellTremolo) {
  for (int division = 0; division < 3; ++division) sendTemperament(division);
  if (settings_.ReverbType >= 0 && settings_.ReverbType <= 2) {
    output_.send(entry::kReverbChurch + settings_.ReverbType);
  }
  sendTremolo(kGreatDivision, greatTremolo);
  sendTremolo(kSwellDivision, swellTremolo);
  output_.controller(kGreatDivision, ModuleOutput::kExpression, view_.greatVolume.value);
  output_.controller(kSwellDivision, ModuleOutput::kExpression, view_.swellVolume.value);
}

}  // namespace kalvant

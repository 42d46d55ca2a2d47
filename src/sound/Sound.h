#pragma once
// The sound settings of the module: temperaments, reverb, the two tremolos
// and their rate, the Great and Swell volumes and the coupling of their
// sliders. Everything goes out through the output schedule: controllers and
// the stops table's sysex entries.

#include <cstdint>
#include <functional>
#include <string>

#include "common/OrganDivisions.h"
#include "common/Settings.h"
#include "sound/SoundView.h"
#include "sysex/ModuleOutput.h"
#include "sysex/OutputSchedule.h"

namespace kalvant {

class Sound {
 public:
  Sound(Settings& settings, OutputSchedule& output);

  const SoundView& view() const { return view_; }
  // Called once per change of the view.
  std::function<void()> onChanged;
  // What the sound settings need of the registration being chosen: whether
  // a division's tremolo is on, and a volume that has just been sent (0
  // Great, 1 Swell).
  std::function<bool(const OrganDivision&)> tremoloOn;
  std::function<void(int division, int value)> volumeSent;

  // Temperaments: Equal 0, Mean Tone 1, Silbermann 2, Kirnberger 3.
  void Temperament_Click(int value);
  void Aggiusta_Check_Menu();
  void TEMPERAMENTO_GO();
  void TEMPERAMENTO_SWELL();
  void TEMPERAMENTO_PE();
  // The temperament of one division (0 Great, 1 Swell, 2 Pedal), tagged as
  // the schedule's items of that division's stop change when `tag` says so.
  void sendTemperament(int division, int tag = OutputSchedule::kUntagged);

  void Reverb_Click(int type);  // Church 0, Cathedral 1, Chapel 2
  void Adjust_Reverb_check();

  void TREMOLO_GO(int State);
  void TREMOLO_SW(int State);
  void tremoloRate_Click();
  void Tremolo_Slider1_Scroll(int value);
  void Tremolo_OK_Click();
  void Tremolo_CANCEL_Click();
  void Aggiorna_Tremolo();

  // A knob turned by the player to `value` (0 Great, 1 Swell).
  void scrollVolume(int division, int value);
  // A volume set from elsewhere: the knob moves, held inside its range.
  void moveVolume(int division, int value);
  void Couplingsliders_Click();
  void Accoppia_Sliders();
  void showCouplingButton();

  // RESET: the knobs show the volumes with nothing sent; the tremolo
  // buttons go dark.
  void showReset(int greatVolume, int swellVolume);
  // A module that was away hears the sound settings again, as the panel
  // shows them, with the tremolos given.
  void resendLive(int greatTremolo, int swellTremolo);
  void unlightTremolos();

 private:
  void sendTremolo(const OrganDivision& division, int State);
  void check(MenuItem item, bool on);
  template <class T>
  void set(T& field, const T& value) {
    setView(field, value, onChanged);
  }

  Settings& settings_;
  OutputSchedule& output_;
  SoundView view_;
  std::int16_t rateBeforeDialog_ = 0;  // the rate when its dialog opened
};

}  // namespace kalvant

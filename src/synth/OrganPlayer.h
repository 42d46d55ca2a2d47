#pragma once
// The default organ played offline: sends the stops table's entries to the
// built-in module as the console would for a registration (stops, volumes,
// tremulants, temperament, reverb) and doubles notes through the couplers.
// Drives the renderer, the sound tests and bench/sound_figures.

#include <cstdint>
#include <string>
#include <vector>

#include "registration/Registration.h"
#include "stops/StopsTable.h"
#include "synth/SmfReader.h"
#include "synth/SoundMeasure.h"

namespace kalvant::synth {

class FluidTarget;
class GsModule;

inline constexpr int kRenderRate = 44100;

// Everything besides the stops table that decides what the organ sounds.
struct OrganSetting {
  Registration registration;
  int temperament = 0;  // 0 Equal, 1 Mean Tone, 2 Silbermann, 3 Kirnberger
  int reverb = 0;       // 0 Church, 1 Cathedral, 2 Chapel
  int tremoloValue = 100;
};

class OrganPlayer {
 public:
  OrganPlayer(FluidTarget& target, GsModule& module, const StopsTable& table);

  // The synthesizer restarted (FluidTarget::restart) and given the
  // console's reset: GS reset, set-ups; set() sends reverb and temperament.
  void reset();
  // What recalling the setting sends; notes played later follow its couplers.
  void set(const OrganSetting& setting);
  // A MIDI message as a keyboard plays it on a division's channel: notes
  // reach the coupled division too.
  void play(const std::vector<std::uint8_t>& message);
  // Renders about `seconds` more audio, in whole 64-frame blocks.
  Stereo render(double seconds);
  // Plays the messages at their times and renders until `seconds`.
  Stereo perform(const std::vector<TimedMessage>& notes, double seconds);

 private:
  void sendEntry(int index);

  FluidTarget& target_;
  GsModule& module_;
  const StopsTable& table_;
  Registration couplers_;
};

// The full organ: Tutti, Full Swell, Pedal Tutti, both volumes 127, the
// Great coupled to the Swell and the Pedal to the Great.
inline constexpr Registration kFullOrgan{127, 127, 26, 0, 65, 0, 90, 1, 1, 1};
// The stop alone on its division; the others keep their first stops, which
// sound only when their keys are played.
OrganSetting soloStop(int stop);
// The key a stop is heard on: 60, or 36 on the Pedal.
inline int testKey(int division) {
  return division == 2 ? 36 : 60;
}

// A chord sequence on all three divisions: four chords, `chordSeconds` each,
// the Great and the Swell in four parts, the Pedal the bass.
std::vector<TimedMessage> demoChords(double chordSeconds = 1.5, int chords = 4);
// The notes of one division (0 Great, 1 Swell, 2 Pedal) alone.
std::vector<TimedMessage> onDivision(std::vector<TimedMessage> notes, int division);
// A single key held on a division (0 Great, 1 Swell, 2 Pedal) from 0 s.
std::vector<TimedMessage> heldKey(int division, int key, double releaseSeconds);

// The stop name's footages in feet ("Prin 8' 4'" gives 8 and 4,
// "Nasard 2 2/3'" 2.667), largest first; none for a name without any.
std::vector<double> footagesInName(const std::string& name);

}  // namespace kalvant::synth

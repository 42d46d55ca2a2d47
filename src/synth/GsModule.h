#pragma once
// The built-in GS module: takes the bytes the console sends to a hardware
// module, keeps the GS state and plays each GS part on its own synthesizer
// channel. Not thread-safe: one thread (the GUI thread, the audio driver's,
// or a renderer's) feeds it. It never allocates or locks itself, so it may
// run on an audio thread; what the target does is the target's business.

#include <array>
#include <cstddef>
#include <cstdint>

#include "synth/GsState.h"
#include "synth/SoundTarget.h"

namespace kalvant::synth {

class GsModule final : private ChangeSink {
 public:
  explicit GsModule(SoundTarget& target);

  // One complete MIDI message: a short message or F0 ... F7. FluidSynth's own
  // sysex handling is never involved: data sets are interpreted here.
  void receive(const std::uint8_t* bytes, std::size_t size);
  void receive(const Bytes& message) { receive(message.data(), message.size()); }

  // Sets every part and effect on the target from the state (after a reset,
  // or when the target was replaced by a fresh one).
  void applyAll();

  const GsInterpreter& interpreter() const { return gs_; }
  // Keys the part is sounding (started and not yet released).
  int soundingNotes(int part) const;

 private:
  // What a part remembers between messages that the GS state does not hold.
  struct PartRuntime {
    // For each received key, the key the part started (shift applied) + 1;
    // 0 when the key is not sounding on this part.
    std::array<std::uint8_t, 128> started{};
    std::uint8_t pendingBank = 0;  // CC#0, taken by the next program change
    std::uint8_t modWheel = 0;
  };

  void channelMessage(const std::uint8_t* bytes, std::size_t size);
  void partMessage(int part, int status, int d1, int d2);
  void noteOn(int part, int key, int velocity);
  void noteOff(int part, int key);
  void controller(int part, int cc, int value);
  void releaseAll(int part);
  void silence(int part);
  void changed(const Change& c) override { apply(c); }
  void apply(const Change& c);
  void resetAll();
  void applyPart(int part);
  void applyModulation(int part);

  SoundTarget& target_;
  GsInterpreter gs_;
  std::array<PartRuntime, kParts> runtime_{};
  std::array<std::uint8_t, kParts> rxBefore_{};  // Rx channels before the data set
  unsigned randomPan_ = 0x2545F491u;
};

}  // namespace kalvant::synth

#pragma once
// Routing inside the MIDI system's own cycle, and a synthesizer that plays
// in it. The port layer only carries these; the routing part implements
// LiveRouter and the synthesizer part implements CycleSynth.

#include <cstddef>
#include <cstdint>

#include "midi/MidiParser.h"

namespace kalvant::midi {

// Where a message routed on the driver thread goes: the output, in the very
// cycle its input arrived in. Driver thread only; never blocks, allocates or
// locks. False when there is no room (the message is lost, as on a full
// output).
class CycleOut {
 public:
  virtual bool send(const std::uint8_t* data, std::size_t size) noexcept = 0;

 protected:
  ~CycleOut() = default;
};

// Decides on the driver thread what needs no console: a message it takes is
// routed and sent through `out` at once. A message it leaves goes to the
// input's queue for the GUI thread, and so does every later message of that
// input until the GUI thread has emptied the queue.
class LiveRouter {
 public:
  virtual bool take(int input, const InMessage& m, CycleOut& out) noexcept = 0;

 protected:
  ~LiveRouter() = default;
};

// A synthesizer rendered inside the MIDI system's cycle: it hears the
// output's messages in order, in the cycle they leave, then renders that
// cycle's audio. Driver thread only; never blocks, allocates or locks.
class CycleSynth {
 public:
  virtual void play(const std::uint8_t* data, std::size_t size) noexcept = 0;
  virtual void render(float* left, float* right, std::uint32_t frames) noexcept = 0;

 protected:
  ~CycleSynth() = default;
};

}  // namespace kalvant::midi

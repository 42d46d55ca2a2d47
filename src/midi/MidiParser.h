#pragma once
// Turns what a MIDI input receives, event by event, into the short messages
// the console handles. A driver event may hold several messages, use running
// status, carry real-time bytes in the middle of another message, or hold a
// sysex that never ends; whatever it holds, every complete short message in
// it comes out once, in order, and nothing else does.

#include <cstddef>
#include <cstdint>

namespace kalvant::midi {

struct InMessage {
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
  bool operator==(const InMessage&) const = default;
};

// A note-off, or a note-on with velocity 0.
inline bool isRelease(const InMessage& m) {
  const int kind = m.status & 0xF0;
  return kind == 0x80 || (kind == 0x90 && m.data2 == 0);
}

// One per input. Running status carries over from one event to the next;
// a message or a sysex cut off by the end of its event is dropped there.
class MidiParser {
 public:
  // Calls emit(const InMessage&) for each complete message in the event.
  template <class Emit>
  void feed(const std::uint8_t* bytes, std::size_t size, Emit&& emit) {
    InMessage m;
    for (std::size_t i = 0; i < size; ++i) {
      if (step(bytes[i], m)) emit(m);
    }
    endEvent();
  }
  void reset() { *this = MidiParser{}; }

 private:
  // Takes one byte; true when it completes a message, stored in m.
  bool step(std::uint8_t byte, InMessage& m);
  bool startStatus(std::uint8_t status, InMessage& m);
  void endEvent();

  std::uint8_t running_ = 0;  // the channel status data bytes continue, 0 for none
  std::uint8_t partial_[2] = {};
  int have_ = 0;  // data bytes collected for the message being built
  int need_ = 0;  // data bytes it needs; 0 when no message is being built
  std::uint8_t status_ = 0;
  bool inSysex_ = false;
};

}  // namespace kalvant::midi

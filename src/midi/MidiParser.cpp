#include "midi/MidiParser.h"

#include "midi/MidiBytes.h"

namespace kalvant::midi {

bool MidiParser::step(std::uint8_t byte, InMessage& m) {
  // Real-time bytes may stand anywhere, even inside another message or a
  // sysex, and leave both as they were.
  if (byte >= 0xF8) {
    m = {byte, 0, 0};
    return true;
  }
  if (byte >= 0x80) return startStatus(byte, m);
  if (inSysex_) return false;
  if (need_ == 0) {
    if (running_ == 0) return false;  // a stray data byte
    status_ = running_;
    need_ = shortMessageLength(running_) - 1;
    have_ = 0;
  }
  partial_[have_++] = byte;
  if (have_ < need_) return false;
  m = {status_, partial_[0], need_ > 1 ? partial_[1] : std::uint8_t{0}};
  need_ = have_ = 0;
  return true;
}

// Any status byte ends a sysex (one without its F7 is dropped) and drops a
// message that still lacked data bytes.
bool MidiParser::startStatus(std::uint8_t status, InMessage& m) {
  inSysex_ = status == 0xF0;
  need_ = have_ = 0;
  running_ = status < 0xF0 ? status : 0;
  const int length = shortMessageLength(status);
  if (length == 0) return false;  // F0 or F7
  if (length == 1) {
    m = {status, 0, 0};
    return true;
  }
  status_ = status;
  need_ = length - 1;
  return false;
}

void MidiParser::endEvent() {
  inSysex_ = false;
  need_ = have_ = 0;
}

}  // namespace kalvant::midi

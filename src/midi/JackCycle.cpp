// The out port's side of each JACK cycle (JackCycle.h).

#include "midi/JackCycle.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cstring>

namespace kalvant::midi {

namespace {

using Header = std::uint32_t;  // a message's size, ahead of its bytes in the ring
constexpr Header kSynthOnly = 0x80000000u;

// Two cycles' worth of a full JACK MIDI buffer (32 KiB on jack2).
constexpr std::size_t kRingBytes = 64 * 1024;

}  // namespace

JackOutputCycle::JackOutputCycle()
    : ring_(jack_ringbuffer_create(kRingBytes)), read_(kRingBytes), carried_(kCarrySlots) {
  scratch_.reserve(256);
}

JackOutputCycle::~JackOutputCycle() {
  jack_ringbuffer_free(ring_);
}

bool JackOutputCycle::hasRoomFor(std::size_t size) const {
  return jack_ringbuffer_write_space(ring_) >= sizeof(Header) + size;
}

bool JackOutputCycle::push(const std::uint8_t* data, std::size_t size, bool synthOnly) {
  const std::size_t need = sizeof(Header) + size;
  if (need >= kRingBytes) return true;  // never fits: dropped
  if (!hasRoomFor(size)) return false;
  // One write for the size and the bytes: the reader waits for both.
  const Header header = static_cast<Header>(size) | (synthOnly ? kSynthOnly : 0);
  scratch_.resize(need);
  std::memcpy(scratch_.data(), &header, sizeof header);
  std::memcpy(scratch_.data() + sizeof header, data, size);
  jack_ringbuffer_write(ring_, scratch_.data(), need);
  return true;
}

bool JackOutputCycle::pending() const {
  return jack_ringbuffer_read_space(ring_) > 0 || carryCount_.load() > 0;
}

void JackOutputCycle::reset() {
  jack_ringbuffer_reset(ring_);
  carryHead_ = 0;
  carryCount_ = 0;
  consumed_ = 0;
  nextFree_ = 0;
  frames_ = 0;
  backlog_ = false;
}

void JackOutputCycle::begin(void* buffer, std::uint32_t frames, std::uint32_t rate,
                            CycleSynth* synth) noexcept {
  buffer_ = buffer;
  synth_ = synth;
  jack_midi_clear_buffer(buffer);
  maxEvent_ = jack_midi_max_event_size(buffer);
  nextFree_ = std::max<std::int64_t>(nextFree_ - frames_, 0);
  frames_ = frames;
  // Whole frames, rounded up: the gap is a least time.
  const std::int64_t micros = std::max<std::int64_t>(gapMicros_.load(), 0);
  gapFrames_ = (micros * rate + 999999) / 1000000;
  eventTime_ = 0;
  backlog_ = writeWaiting();
}

// Carried messages and the ring, merged by each carried message's mark.
// True when something still waits for a later cycle.
bool JackOutputCycle::writeWaiting() noexcept {
  for (;;) {
    const std::size_t count = carryCount_.load(std::memory_order_relaxed);
    if (count > 0 && carried_[carryHead_].mark <= consumed_) {
      if (!writeCarried()) return true;
      continue;
    }
    switch (writeFromRing()) {
      case RingResult::Written:
        continue;
      case RingResult::Later:
        return true;
      case RingResult::Empty:
        // A carried message whose mark is not reached waits for a ring
        // message still being written.
        return count > 0;
    }
  }
}

bool JackOutputCycle::writeCarried() noexcept {
  const Carried& c = carried_[carryHead_];
  if (place(c.bytes.data(), c.size, 0, false) == Placed::Later) return false;
  carryHead_ = (carryHead_ + 1) % kCarrySlots;
  carryCount_.fetch_sub(1, std::memory_order_release);
  return true;
}

JackOutputCycle::RingResult JackOutputCycle::writeFromRing() noexcept {
  Header header = 0;
  if (jack_ringbuffer_peek(ring_, reinterpret_cast<char*>(&header), sizeof header) != sizeof header)
    return RingResult::Empty;
  const std::size_t size = header & ~kSynthOnly;
  const std::size_t whole = sizeof header + size;
  if (jack_ringbuffer_read_space(ring_) < whole) return RingResult::Empty;
  jack_ringbuffer_peek(ring_, reinterpret_cast<char*>(read_.data()), whole);
  if (place(read_.data() + sizeof header, size, 0, (header & kSynthOnly) != 0) == Placed::Later)
    return RingResult::Later;
  jack_ringbuffer_read_advance(ring_, whole);
  consumed_ += whole;
  return RingResult::Written;
}

JackOutputCycle::Placed JackOutputCycle::place(const std::uint8_t* data, std::size_t size,
                                               std::int64_t time, bool synthOnly) noexcept {
  if (synth_) {
    synth_->play(data, size);
    return Placed::Sent;
  }
  if (synthOnly) return Placed::Sent;  // for a synthesizer that is not there
  if (size > maxEvent_) {
    // Larger than a whole empty buffer: it can never leave.
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return Placed::Dropped;
  }
  const std::int64_t frame = std::max(time, nextFree_);
  if (frame >= frames_) return Placed::Later;
  jack_midi_data_t* room =
      jack_midi_event_reserve(buffer_, static_cast<jack_nframes_t>(frame), size);
  if (!room) return Placed::Later;
  std::memcpy(room, data, size);
  nextFree_ = frame + gapFrames_;
  return Placed::Sent;
}

// What the GUI thread sent before the router took this message (it sends
// before it lets the input be routed live again) leaves first, even when it
// reached the ring after this cycle began.
bool JackOutputCycle::send(const std::uint8_t* data, std::size_t size) noexcept {
  if (!backlog_) backlog_ = writeWaiting();
  if (!backlog_) {
    switch (place(data, size, eventTime_, false)) {
      case Placed::Sent:
        return true;
      case Placed::Dropped:
        return false;
      case Placed::Later:
        backlog_ = true;
        break;
    }
  }
  return carry(data, size);
}

bool JackOutputCycle::carry(const std::uint8_t* data, std::size_t size) noexcept {
  const std::size_t count = carryCount_.load(std::memory_order_relaxed);
  const bool release =
      size == 3 && ((data[0] & 0xF0) == 0x80 || ((data[0] & 0xF0) == 0x90 && data[2] == 0));
  const std::size_t limit = release ? kCarrySlots : kCarrySlots - kReleaseReserve;
  if (size > Carried{}.bytes.size() || count >= limit) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  Carried& c = carried_[(carryHead_ + count) % kCarrySlots];
  // Everything the GUI thread had written by now leaves before it.
  c.mark = consumed_ + jack_ringbuffer_read_space(ring_);
  c.size = static_cast<std::uint32_t>(size);
  std::memcpy(c.bytes.data(), data, size);
  carryCount_.fetch_add(1, std::memory_order_release);
  return true;
}

}  // namespace kalvant::midi

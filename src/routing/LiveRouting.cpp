#include "routing/LiveRouting.h"

#include "midi/MidiBytes.h"

#include <chrono>
#include <thread>

namespace kalvant::routing {

namespace {

constexpr std::uint16_t kReleasedAtClose = 0xFFFF;

bool isNoteOn(const midi::InMessage& m) {
  return (m.status & 0xF0) == 0x90 && m.data2 > 0;
}

std::size_t side(int input) {
  return static_cast<std::size_t>(input & 1);
}

}  // namespace

// One thread's use of an input's held-note memory. The driver thread tries
// once and queues the message when the GUI thread has the input; the GUI
// thread waits for the driver, which holds it for a few microseconds.
class LiveRouting::Use {
 public:
  Use(std::atomic<int>& owner, Owner who) : owner_(owner) {
    int expected = kFree;
    if (who == kDriver) {
      held_ = owner_.compare_exchange_strong(expected, kDriver);
      return;
    }
    while (!owner_.compare_exchange_weak(expected, kGui)) {
      expected = kFree;
      std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
    held_ = true;
  }
  ~Use() {
    if (held_) owner_.store(kFree);
  }
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;
  explicit operator bool() const { return held_; }

 private:
  std::atomic<int>& owner_;
  bool held_ = false;
};

void LiveRouting::publish(const RoutingState& state, bool live) {
  if (state == lastPublished_ && live == lastLive_) return;
  lastPublished_ = state;
  lastLive_ = live;
  handover_.publish({state, live});
}

bool LiveRouting::take(int input, const midi::InMessage& m, midi::CycleOut& out) noexcept {
  const Published& now = handover_.latest();
  if (!now.live) return false;
  const Decision d = route(now.state, {m.status, m.data1, m.data2});
  if (d.command != Command::None || d.captured >= 0) return false;
  const Use use(owner_[side(input)], kDriver);
  if (!use) return false;
  apply(input, m, d, [&out](int status, int data1, int data2) {
    const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(status),
                                   static_cast<std::uint8_t>(data1 & 0x7F),
                                   static_cast<std::uint8_t>(data2 & 0x7F)};
    out.send(bytes, static_cast<std::size_t>(midi::shortMessageLength(bytes[0])));
  });
  return true;
}

void LiveRouting::play(int input, const midi::InMessage& m, const Decision& d, Sink& out) {
  const Use use(owner_[side(input)], kGui);
  apply(input, m, d, [&out](int status, int data1, int data2) { out.send(status, data1, data2); });
}

// A release whose note-on was sent goes to the very channels the note-on
// went to, so no note hangs when the division, a coupler or the thru mode
// changed while the key was down.
template <class Send>
void LiveRouting::apply(int input, const midi::InMessage& m, const Decision& d, Send&& send) {
  std::uint16_t& held = heldNotes_[side(input)][m.status & 0x0F][m.data1 & 0x7F];
  if (midi::isRelease(m) && held != 0) {
    const int kind = m.status & 0xF0;
    if (held != kReleasedAtClose) {
      for (int channel : {held & 0xFF, held >> 8}) {
        if (channel > 0) send(kind | (channel - 1), m.data1, m.data2);
      }
    }
    held = 0;
    return;
  }
  for (int i = 0; i < d.sendCount; ++i) send(d.sends[i], m.data1, m.data2);
  if (isNoteOn(m)) {
    const int first = d.sendCount > 0 ? (d.sends[0] & 0x0F) + 1 : 0;
    const int second = d.sendCount > 1 ? (d.sends[1] & 0x0F) + 1 : 0;
    held = static_cast<std::uint16_t>(first | (second << 8));
  }
}

void LiveRouting::releaseHeld(int input, Sink& out) {
  const Use use(owner_[side(input)], kGui);
  for (auto& byKey : heldNotes_[side(input)]) {
    for (std::size_t key = 0; key < byKey.size(); ++key) {
      std::uint16_t& held = byKey[key];
      if (held == 0 || held == kReleasedAtClose) continue;
      for (int channel : {held & 0xFF, held >> 8}) {
        if (channel > 0) out.send(0x80 | (channel - 1), static_cast<int>(key), 64);
      }
      held = kReleasedAtClose;
    }
  }
}

}  // namespace kalvant::routing

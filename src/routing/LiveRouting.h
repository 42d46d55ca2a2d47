#pragma once
// Routing on the driver thread. The GUI thread publishes the routing state
// after every change; the driver thread reads the latest copy without
// waiting and plays what needs no console (notes, releases, coupler
// duplicates, controllers that pass through) in the cycle it arrived in.
// Commands, captures, the wheel and the volume pedals are left to the GUI
// thread.
//
// Where each held note went is remembered here, for both threads: a release
// goes to the very channels its note-on went to. The memory of one input is
// used by one thread at a time: the driver thread only while that input's
// queue is empty, the GUI thread while it handles a queued message or takes
// the input for itself (takeInput), which makes the driver thread queue that
// input's messages for as long.

#include <array>
#include <atomic>
#include <cstdint>

#include "common/LatestValue.h"
#include "midi/LiveRouting.h"
#include "routing/Routing.h"

namespace kalvant::routing {

class LiveRouting final : public midi::LiveRouter {
 public:
  // A status and its two data bytes, sent as routed.
  class Sink {
   public:
    virtual void send(int status, int data1, int data2) = 0;

   protected:
    ~Sink() = default;
  };

  // GUI thread: the state every later message is routed by. `live` false
  // (before start-up, after shutdown) leaves every message to the GUI.
  void publish(const RoutingState& state, bool live);
  const RoutingState& published() const { return lastPublished_; }

  // Driver thread.
  bool take(int input, const midi::InMessage& m, midi::CycleOut& out) noexcept override;

  // GUI thread: a message the GUI routed (`d` from the GUI's own state).
  void play(int input, const midi::InMessage& m, const Decision& d, Sink& out);
  // GUI thread: every held note of the input gets its release on `out` now;
  // its key's own release comes later and is dropped.
  void releaseHeld(int input, Sink& out);

 private:
  // Who uses an input's held-note memory now.
  enum Owner : int { kFree, kDriver, kGui };
  class Use;
  template <class Send>
  void apply(int input, const midi::InMessage& m, const Decision& d, Send&& send);

  struct Published {
    RoutingState state;
    bool live = false;
  };
  LatestValue<Published> handover_;
  RoutingState lastPublished_;
  bool lastLive_ = false;
  std::array<std::atomic<int>, 2> owner_{};
  // Per input, input channel and key: the low byte is the division channel
  // + 1, the high byte the coupler duplicate's channel + 1 (0 = none).
  // kReleasedAtClose: the note was released for it (releaseHeld).
  std::array<std::array<std::array<std::uint16_t, 128>, 16>, 2> heldNotes_{};
};

}  // namespace kalvant::routing

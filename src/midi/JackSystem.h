#pragma once
// The console's one JACK client (internal to src/midi): the MIDI ports in1,
// in2 and out and the audio ports out_L and out_R (for a synthesizer played
// in the cycle) on a client named "kalvant", straight on libjack.
//
// Threads. The GUI thread makes every call of the port objects: lists,
// connections, sends, gap, synthesizer, poll. JACK's process thread runs
// each cycle (JackCycle.h): it writes what waits for the out port, then walks
// the events of in1 and in2 merged by frame time and hands each to its
// input, whose live router may send into the same cycle; at last it renders
// an attached synthesizer into out_L and out_R. It never allocates, locks or
// waits: an input that queued a message for the GUI thread makes it wake
// the notifier thread (a semaphore), which posts the delivery. JACK's
// notification thread only marks the client dead and posts (devicesChanged,
// reportError). The notifier thread is counted like a JACK callback while it
// uses a port object, so detach() waits for it too.
//
// Lifetime. The three port objects share the client; it closes when the last
// of them goes. Each port object lends itself to the JACK threads (attach);
// before it dies it takes itself back (detach), which returns once no JACK
// callback still runs with it. The ports stay registered for the client's
// life, so the process callback never sees one go away.
//
// A stopped server. Its shutdown marks the client dead: from then on every
// call returns at once and touches nothing of JACK's. poll() closes the dead
// client and opens a fresh one as soon as a server answers again.

#include <jack/jack.h>
#include <semaphore.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "midi/JackClient.h"
#include "midi/JackCycle.h"

namespace kalvant::midi {

// A port object as the client sees it.
class JackEndpoint {
 public:
  // Process thread: one event the port received (inputs only).
  virtual void receive(const std::uint8_t*, std::size_t) {}
  // Notifier thread: the port asked to be woken (wake()); it posts.
  virtual void woken() {}
  // GUI thread: the server came back; the old connection went with the old
  // client.
  virtual void forget() = 0;
  virtual MidiPort& port() = 0;

 protected:
  ~JackEndpoint() = default;
};

class JackSystem {
 public:
  // The console's ports, in the order of kPortNames.
  static constexpr int kIn1 = 0, kIn2 = 1, kOut = 2, kSlots = 3;

  JackSystem();
  ~JackSystem();
  JackSystem(const JackSystem&) = delete;
  JackSystem& operator=(const JackSystem&) = delete;

  // Why the client could not be made at start; "" when it was.
  int failureCode() const { return failureCode_; }
  const std::string& failure() const { return failure_; }

  // A port object lends itself to the JACK threads; detach() returns once no
  // JACK callback uses it any more.
  void attach(int slot, JackEndpoint* port) { objects_[slot].store(port); }
  void detach(int slot);

  std::vector<std::string> devices(int slot);
  bool connect(int slot, const std::string& device);
  void disconnect(int slot);
  std::string connectedName(int slot);

  // The output's messages, in order (synthOnly: for the attached
  // synthesizer only). False when the message was dropped.
  bool send(const std::uint8_t* data, std::size_t size, bool synthOnly = false);
  void setGap(std::chrono::microseconds gap) { cycle_.setGap(gap); }
  // Process thread: where the inputs' live routers send.
  CycleOut* cycleOut() { return &cycle_; }
  // Any thread, never blocks: the notifier thread calls the port's woken().
  void wake(int slot) noexcept;

  // Lends a synthesizer to the process thread (null takes it back and
  // returns once no cycle uses it) and connects out_L and out_R to the first
  // two physical playback ports. False without a server.
  bool attachSynth(CycleSynth* synth);
  double sampleRate() const;
  // After a connection: two cycles, so the graph runs with it.
  void settle() { waitFor(cycles_.load() + 2); }
  // Before a disconnection: until what was sent has left.
  void drain();
  void poll();

 private:
  // One jack_client_t with its ports; a fresh one after a server restart.
  struct Link {
    JackSystem* system = nullptr;
    jack_client_t* client = nullptr;
    std::string name;  // may differ from kClientName when that was taken
    std::array<jack_port_t*, kSlots> ports{};
    std::array<jack_port_t*, 2> audio{};  // out_L, out_R
    std::atomic<bool> dead{false};
    bool owns(jack_port_id_t id) const;
  };
  // The device a port of ours was connected to, as we connected it.
  struct Peer {
    jack_port_t* port = nullptr;
    std::string name;
  };

  bool usable() const { return link_ && !link_->dead.load(); }
  std::unique_ptr<Link> openLink();
  bool registerPorts(Link& link);
  void setCallbacks(Link& link);
  void closeLink();
  std::vector<std::string> connections(int slot);
  bool waitFor(std::uint64_t cycle) const;
  bool waitForCycle();
  void announce();
  void forget(int slot);
  void connectAudio();
  void notify();

  static int process(jack_nframes_t frames, void* arg);
  void runCycle(const Link& link, jack_nframes_t frames);
  void receiveMerged(const Link& link, jack_nframes_t frames);
  static void shutdown(void* arg);
  static void portsChanged(void* arg);

  std::unique_ptr<Link> link_;
  bool lost_ = false;  // the server stopped; poll() looks for it
  int failureCode_ = 0;
  std::string failure_;
  std::array<std::atomic<JackEndpoint*>, kSlots> objects_{};
  std::array<Peer, kSlots> peers_;
  JackOutputCycle cycle_;
  std::atomic<CycleSynth*> synth_{nullptr};
  sem_t wakeup_;
  std::array<std::atomic<bool>, kSlots> woken_{};
  std::atomic<bool> stopping_{false};
  std::thread notifier_;  // started last, after everything it uses
  std::atomic<std::uint64_t> cycles_{0};
  std::atomic<int> busy_{0};
  std::optional<std::uint64_t> stalledAt_;
};

}  // namespace kalvant::midi

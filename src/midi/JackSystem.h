#pragma once
// The console's one JACK client (internal to src/midi): the MIDI ports in1,
// in2 and out on a client named "kalvant", straight on libjack.
//
// Threads. The GUI thread makes every call of the port objects: lists,
// connections, sends, poll. JACK's process thread counts cycles, hands each
// event an input receives to that input, and moves the output's messages
// from a single-producer/single-consumer ring into the out port. JACK's
// notification thread only marks the client dead and posts (devicesChanged,
// reportError).
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
#include <jack/ringbuffer.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "midi/JackClient.h"

namespace kalvant::midi {

// A port object as the client sees it.
class JackEndpoint {
 public:
  // Process thread: one event the port received (inputs only).
  virtual void receive(const std::uint8_t*, std::size_t) {}
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

  // The output's messages, in order. False when the message was dropped.
  bool send(const std::uint8_t* data, std::size_t size);
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

  static int process(jack_nframes_t frames, void* arg);
  void receive(int slot, void* buffer);
  void emit(void* buffer);
  static void shutdown(void* arg);
  static void portsChanged(void* arg);

  std::unique_ptr<Link> link_;
  bool lost_ = false;  // the server stopped; poll() looks for it
  int failureCode_ = 0;
  std::string failure_;
  std::array<std::atomic<JackEndpoint*>, kSlots> objects_{};
  std::array<Peer, kSlots> peers_;
  jack_ringbuffer_t* ring_;
  std::vector<char> scratch_;
  std::atomic<std::uint64_t> cycles_{0};
  std::atomic<int> busy_{0};
  std::optional<std::uint64_t> stalledAt_;
};

}  // namespace kalvant::midi

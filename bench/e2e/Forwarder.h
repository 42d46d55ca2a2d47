#pragma once
// A bare forwarding JACK client: what arrives in one period goes out at the
// start of the next, untouched. A router that decides outside JACK's
// process callback, on a thread of its own, answers one period later at
// the earliest; this client does exactly that and nothing else. A router
// that decides inside the callback hands a message on in the period it
// came in, below this client.

#include <jack/jack.h>
#include <jack/midiport.h>

#include <array>
#include <cstddef>
#include <string>

namespace kalvant::bench {

class Forwarder {
 public:
  // Opens JACK client `name` with ports "in" and "out" and activates it.
  explicit Forwarder(const std::string& name);
  ~Forwarder();
  Forwarder(const Forwarder&) = delete;
  Forwarder& operator=(const Forwarder&) = delete;

  bool ok() const { return client_ && in_ && out_; }
  std::string inPort() const { return name_ + ":in"; }
  std::string outPort() const { return name_ + ":out"; }

 private:
  struct Held {
    std::size_t size;
    std::array<jack_midi_data_t, 16> bytes;
  };

  static int process(jack_nframes_t frames, void* self);
  void sendHeld(jack_nframes_t frames);
  void holdArrived(jack_nframes_t frames);

  std::string name_;
  jack_client_t* client_ = nullptr;
  jack_port_t* in_ = nullptr;
  jack_port_t* out_ = nullptr;
  std::array<Held, 256> held_{};
  std::size_t count_ = 0;
};

}  // namespace kalvant::bench

#include "Forwarder.h"

#include <algorithm>

namespace kalvant::bench {

Forwarder::Forwarder(const std::string& name) : name_(name) {
  jack_status_t status{};
  client_ = jack_client_open(
      name.c_str(), static_cast<jack_options_t>(JackNoStartServer | JackUseExactName), &status);
  if (!client_) return;
  in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  jack_set_process_callback(client_, &Forwarder::process, this);
  if (jack_activate(client_) != 0) out_ = nullptr;
}

Forwarder::~Forwarder() {
  if (client_) jack_client_close(client_);
}

int Forwarder::process(jack_nframes_t frames, void* self) {
  auto* f = static_cast<Forwarder*>(self);
  f->sendHeld(frames);
  f->holdArrived(frames);
  return 0;
}

// What the previous period brought, at the start of this one.
void Forwarder::sendHeld(jack_nframes_t frames) {
  void* out = jack_port_get_buffer(out_, frames);
  jack_midi_clear_buffer(out);
  for (std::size_t i = 0; i < count_; ++i)
    jack_midi_event_write(out, 0, held_[i].bytes.data(), held_[i].size);
  count_ = 0;
}

void Forwarder::holdArrived(jack_nframes_t frames) {
  void* in = jack_port_get_buffer(in_, frames);
  const jack_nframes_t events = jack_midi_get_event_count(in);
  for (jack_nframes_t i = 0; i < events && count_ < held_.size(); ++i) {
    jack_midi_event_t e;
    if (jack_midi_event_get(&e, in, i) != 0 || e.size > 16) continue;
    Held& h = held_[count_++];
    h.size = e.size;
    std::copy(e.buffer, e.buffer + e.size, h.bytes.begin());
  }
}

}  // namespace kalvant::bench

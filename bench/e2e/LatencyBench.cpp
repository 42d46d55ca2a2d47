// Added latency: one note stream, sent once, reaches three sinks at the same
// time: (a) straight from the keyboard, (b) through a bare forwarding JACK
// client, (c) through kalvant with NoteDelay 0.

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <thread>

#include "BenchRig.h"

namespace kalvant::bench {

namespace {

using namespace std::chrono_literals;

// A bare forwarding JACK client: what arrives in one period goes out at
// the start of the next, untouched. A router that decides outside JACK's
// process callback, as kalvant does on its GUI thread, can answer one
// period later at the earliest; this client does exactly that and nothing
// else, so it is the floor kalvant is measured against.
class Forwarder {
 public:
  Forwarder() {
    jack_status_t status{};
    client_ = jack_client_open("bench-forwarder", JackNoStartServer, &status);
    if (!client_) return;
    in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client_, &Forwarder::process, this);
    jack_activate(client_);
  }
  ~Forwarder() {
    if (client_) jack_client_close(client_);
  }
  bool ok() const { return client_ && in_ && out_; }

 private:
  struct Held {
    std::size_t size;
    std::array<jack_midi_data_t, 16> bytes;
  };

  static int process(jack_nframes_t frames, void* self) {
    auto* f = static_cast<Forwarder*>(self);
    void* out = jack_port_get_buffer(f->out_, frames);
    jack_midi_clear_buffer(out);
    for (std::size_t i = 0; i < f->count_; ++i)
      jack_midi_event_write(out, 0, f->held_[i].bytes.data(), f->held_[i].size);
    f->count_ = 0;
    void* in = jack_port_get_buffer(f->in_, frames);
    const jack_nframes_t events = jack_midi_get_event_count(in);
    for (jack_nframes_t i = 0; i < events && f->count_ < f->held_.size(); ++i) {
      jack_midi_event_t e;
      if (jack_midi_event_get(&e, in, i) != 0 || e.size > 16) continue;
      Held& h = f->held_[f->count_++];
      h.size = e.size;
      std::copy(e.buffer, e.buffer + e.size, h.bytes.begin());
    }
    return 0;
  }

  jack_client_t* client_ = nullptr;
  jack_port_t* in_ = nullptr;
  jack_port_t* out_ = nullptr;
  std::array<Held, 256> held_{};
  std::size_t count_ = 0;
};

// Note-on and note-off in turn, each pair on its own key and velocity.
Bytes note(int i) {
  const int pair = i / 2;
  const auto key = static_cast<std::uint8_t>(pair % 128);
  if (i % 2 == 1) return {0x80, key, 0x40};
  return {0x90, key, static_cast<std::uint8_t>(1 + pair % 127)};
}

// Latency of each message, in ms; counts messages that differ or are missing.
std::vector<double> latencies(const std::vector<Clock::time_point>& sent,
                              const std::vector<Stamped>& got, int& wrong) {
  std::vector<double> ms;
  wrong = static_cast<int>(sent.size()) - static_cast<int>(got.size());
  for (std::size_t i = 0; i < got.size() && i < sent.size(); ++i) {
    if (got[i].bytes != note(static_cast<int>(i))) ++wrong;
    ms.push_back(millisecondsBetween(sent[i], got[i].at));
  }
  return ms;
}

}  // namespace

void latencyBench(bool quick) {
  const int count = quick ? 500 : 2000;
  std::printf("added latency: %d notes, random 1-3 ms gaps, JACK period 64 frames at 48 kHz\n",
              count);
  KalvantRig rig("lat");
  e2e::Recorder direct("bench-sink-direct"), forwarded("bench-sink-forwarded");
  Forwarder forwarder;
  if (!forwarder.ok()) return (void)std::fprintf(stderr, "bench: no forwarding client\n");
  CfgData cfg = rig.baseCfg();
  const StopsTable table = shippedTable();
  if (!rig.start(cfg, table, resetMessageCount(table))) return;
  const bool patched = connectPorts(rig.keysA.portName(), direct.portName()) &&
                       connectPorts(rig.keysA.portName(), "bench-forwarder:in") &&
                       connectPorts("bench-forwarder:out", forwarded.portName());
  if (!patched) return (void)std::fprintf(stderr, "bench: JACK refused a connection\n");
  std::this_thread::sleep_for(300ms);
  rig.module.take();

  std::mt19937 random(8);
  std::uniform_real_distribution<double> gap(1.0, 3.0);
  std::vector<Clock::time_point> sent;
  auto next = Clock::now();
  for (int i = 0; i < count; ++i) {
    next += std::chrono::microseconds(static_cast<int>(gap(random) * 1000));
    std::this_thread::sleep_until(next);
    sent.push_back(Clock::now());
    rig.keysA.play(note(i));
  }
  for (e2e::Recorder* r : {&direct, &forwarded, &rig.module})
    r->waitForCount(static_cast<std::size_t>(count), 5s);

  int wrongDirect = 0, wrongForwarded = 0, wrongKalvant = 0;
  const Spread a = spreadOf(latencies(sent, direct.take(), wrongDirect));
  const Spread b = spreadOf(latencies(sent, forwarded.take(), wrongForwarded));
  const Spread c = spreadOf(latencies(sent, rig.module.take(), wrongKalvant));
  printSpread("(a) keyboard -> sink", a, "ms");
  printSpread("(b) through a bare forwarder", b, "ms");
  printSpread("(c) through kalvant, NoteDelay 0", c, "ms");
  std::printf("  kalvant - forwarder: p50 %+.3f  p99 %+.3f ms (aim: p99 within 0.3 ms)\n",
              c.p50 - b.p50, c.p99 - b.p99);
  std::printf("  missing or wrong messages: direct %d, forwarder %d, kalvant %d\n", wrongDirect,
              wrongForwarded, wrongKalvant);
}

}  // namespace kalvant::bench

#include "FrameClients.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace kalvant::e2e {

using namespace std::chrono_literals;

namespace {

jack_client_t* openClient(const std::string& name) {
  jack_status_t status{};
  return jack_client_open(
      name.c_str(), static_cast<jack_options_t>(JackNoStartServer | JackUseExactName), &status);
}

}  // namespace

FrameSource::FrameSource(const std::string& name) : name_(name) {
  client_ = openClient(name);
  if (!client_) return;
  out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  jack_set_process_callback(client_, &FrameSource::process, this);
  if (jack_activate(client_) != 0) out_ = nullptr;
}

FrameSource::~FrameSource() {
  if (client_) jack_client_close(client_);
}

void FrameSource::begin(std::vector<Planned> plan) {
  plan_ = std::move(plan);
  sent_.assign(plan_.size(), 0);
  next_ = 0;
  started_ = false;
  playing_.store(true, std::memory_order_release);
}

bool FrameSource::finish(std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (playing_.load(std::memory_order_acquire)) {
    if (std::chrono::steady_clock::now() > until) {
      playing_.store(false);
      std::this_thread::sleep_for(50ms);  // the callback sees it within a period
      return false;
    }
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

int FrameSource::process(jack_nframes_t frames, void* self) {
  static_cast<FrameSource*>(self)->send(frames);
  return 0;
}

// Writes the plan's messages that fall in this period at their offsets.
void FrameSource::send(jack_nframes_t frames) {
  void* out = jack_port_get_buffer(out_, frames);
  jack_midi_clear_buffer(out);
  if (!playing_.load(std::memory_order_acquire)) return;
  const Frame now = jack_last_frame_time(client_);
  if (!started_) {
    started_ = true;
    base_ = now + frames;  // from the next period on: a whole one to fill
    return;
  }
  while (next_ < plan_.size()) {
    const Planned& p = plan_[next_];
    const Frame offset = base_ + p.at - now;  // wraps like the frame counter
    if (offset >= frames) break;
    jack_midi_event_write(out, offset, p.bytes.data(), p.bytes.size());
    sent_[next_++] = now + offset;
  }
  if (next_ == plan_.size()) playing_.store(false, std::memory_order_release);
}

FrameSink::FrameSink(const std::string& name, std::size_t room) : name_(name), got_(room) {
  client_ = openClient(name);
  if (!client_) return;
  in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  jack_set_process_callback(client_, &FrameSink::process, this);
  if (jack_activate(client_) != 0) in_ = nullptr;
}

FrameSink::~FrameSink() {
  if (client_) jack_client_close(client_);
}

int FrameSink::process(jack_nframes_t frames, void* self) {
  auto* s = static_cast<FrameSink*>(self);
  void* in = jack_port_get_buffer(s->in_, frames);
  if (s->paused_.load(std::memory_order_acquire)) return 0;
  const Frame now = jack_last_frame_time(s->client_);
  std::size_t count = s->count_.load(std::memory_order_relaxed);
  const jack_nframes_t events = jack_midi_get_event_count(in);
  for (jack_nframes_t i = 0; i < events; ++i) {
    jack_midi_event_t e;
    if (jack_midi_event_get(&e, in, i) != 0) continue;
    if (count == s->got_.size()) {
      s->overflow_.fetch_add(1);
      continue;
    }
    Arrived& a = s->got_[count++];
    a.at = now + e.time;
    a.size = static_cast<std::uint8_t>(std::min<std::size_t>(e.size, 255));
    a.bytes = {};
    std::copy(e.buffer, e.buffer + std::min<std::size_t>(e.size, 3), a.bytes.begin());
  }
  s->count_.store(count, std::memory_order_release);
  return 0;
}

std::vector<Arrived> FrameSink::takeWhenQuiet(std::chrono::milliseconds quiet,
                                              std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  for (std::size_t seen = count(); std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(quiet);
    const std::size_t now = count();
    if (now == seen) break;
    seen = now;
  }
  paused_.store(true, std::memory_order_release);
  std::this_thread::sleep_for(50ms);  // a callback already past the check ends meanwhile
  const std::size_t n = count();
  std::vector<Arrived> out(got_.begin(), got_.begin() + static_cast<std::ptrdiff_t>(n));
  count_.store(0);
  overflow_.store(0);
  paused_.store(false, std::memory_order_release);
  return out;
}

bool connectJackPorts(const std::string& from, const std::string& to) {
  jack_status_t status{};
  jack_client_t* client = jack_client_open("e2e-patchbay", JackNoStartServer, &status);
  if (!client) return false;
  const int r = jack_connect(client, from.c_str(), to.c_str());
  jack_client_close(client);
  return r == 0 || r == EEXIST;
}

std::array<std::uint8_t, 3> numberedNote(long n) {
  const auto k = static_cast<int>(n % kDistinctNumbers);
  return {0x90, static_cast<std::uint8_t>(k % 128), static_cast<std::uint8_t>(1 + k / 128)};
}

int numberIn(const Arrived& m) {
  if (m.size != 3 || (m.bytes[0] & 0xF0) != 0x90 || m.bytes[2] == 0) return -1;
  return (m.bytes[2] - 1) * 128 + m.bytes[1];
}

// Numbers repeat every kDistinctNumbers; each arrival is taken as the
// repeat nearest to the one after the highest seen so far.
PathResult matchArrivals(const std::vector<Frame>& sent, const std::vector<Arrived>& got) {
  PathResult r;
  const long total = static_cast<long>(sent.size());
  r.came.assign(sent.size(), false);
  r.latency.assign(sent.size(), 0);
  r.arrival.assign(sent.size(), 0);
  std::vector<int> times(sent.size(), 0);
  long highest = -1;
  for (const Arrived& m : got) {
    const int n = numberIn(m);
    if (n < 0) {
      ++r.other;
      continue;
    }
    const long cursor = highest + 1;
    long u = cursor - (cursor % kDistinctNumbers) + n;
    if (u - cursor > kDistinctNumbers / 2) u -= kDistinctNumbers;
    if (cursor - u > kDistinctNumbers / 2) u += kDistinctNumbers;
    if (u < 0 || u >= total) {
      ++r.other;
      continue;
    }
    const auto i = static_cast<std::size_t>(u);
    if (++times[i] > 1) {
      ++r.doubled;
      continue;
    }
    if (u < highest) ++r.reordered;
    highest = std::max(highest, u);
    r.came[i] = true;
    r.latency[i] = static_cast<std::int32_t>(m.at - sent[i]);
    r.arrival[i] = m.at;
  }
  r.lost = std::count(times.begin(), times.end(), 0);
  return r;
}

long periodsBetween(Frame start, Frame period, Frame sent, Frame got) {
  const Frame cycleStart = sent - (sent - start) % period;
  return static_cast<std::int32_t>(got - cycleStart) / static_cast<long>(period);
}

}  // namespace kalvant::e2e

#include "harness/JackClients.h"

#include <thread>
#include <utility>

namespace kalvant::e2e {

Keyboard::Keyboard(const std::string& client, const std::string& port)
    : client_(client), port_(port), out_(RtMidi::UNIX_JACK, client) {
  out_.openVirtualPort(port);
}

Keyboard::~Keyboard() {
  // RtMidi frees its ring buffer before closing its client: let JACK's thread leave first.
  out_.closePort();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

Recorder::Recorder(const std::string& client, const std::string& port)
    : client_(client), port_(port), in_(RtMidi::UNIX_JACK, client) {
  in_.ignoreTypes(false, true, true);
  in_.setCallback(&Recorder::received, this);
  in_.openVirtualPort(port);
}

Recorder::~Recorder() {
  in_.closePort();
  in_.cancelCallback();
}

void Recorder::received(double, std::vector<unsigned char>* message, void* self) {
  auto* r = static_cast<Recorder*>(self);
  const Clock::time_point at = Clock::now();
  std::lock_guard lock(r->mutex_);
  r->got_.push_back({at, Bytes(message->begin(), message->end())});
  r->arrived_.notify_all();
}

bool Recorder::waitUntil(const std::function<bool(const std::vector<Stamped>&)>& done,
                         std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return arrived_.wait_for(lock, timeout, [&] { return done(got_); });
}

bool Recorder::waitForCount(std::size_t count, std::chrono::milliseconds timeout) {
  return waitUntil([count](const std::vector<Stamped>& got) { return got.size() >= count; },
                   timeout);
}

std::vector<Stamped> Recorder::take() {
  std::lock_guard lock(mutex_);
  return std::exchange(got_, {});
}

std::size_t Recorder::count() {
  std::lock_guard lock(mutex_);
  return got_.size();
}

namespace {

int positionIn(RtMidi&& probe, const std::string& portName) {
  int position = 0;
  for (unsigned p = 0; p < probe.getPortCount(); ++p) {
    const std::string name = probe.getPortName(p);
    if (name.rfind("kalvant:", 0) == 0) continue;  // kalvant's own in1, in2 and out
    if (name == portName) return position;
    ++position;
  }
  return -1;
}

}  // namespace

int sourcePosition(const std::string& portName) {
  return positionIn(RtMidiIn(RtMidi::UNIX_JACK, "e2e-probe"), portName);
}

int sinkPosition(const std::string& portName) {
  return positionIn(RtMidiOut(RtMidi::UNIX_JACK, "e2e-probe"), portName);
}

}  // namespace kalvant::e2e

#include "harness/JackClients.h"

#include <memory>
#include <thread>

namespace kalvant::e2e {

Keyboard::Keyboard(const std::string& client, const std::string& port)
    : client_(client), port_(port), out_(RtMidi::UNIX_JACK, client) {
  out_.openVirtualPort(port);
}

Keyboard::~Keyboard() {
  // RtMidi's JACK output frees its ring buffer before it closes its client:
  // let JACK's thread leave the process callback first.
  out_.closePort();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void Keyboard::play(const Bytes& message) {
  out_.sendMessage(message.data(), message.size());
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
  Stamped s{Clock::now(), Bytes(message->begin(), message->end())};
  {
    std::lock_guard lock(r->mutex_);
    r->got_.push_back(std::move(s));
  }
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
  std::vector<Stamped> got;
  got.swap(got_);
  return got;
}

std::size_t Recorder::count() {
  std::lock_guard lock(mutex_);
  return got_.size();
}

namespace {

// kalvant names its JACK clients "kalvant-in1", "kalvant-in2" and
// "kalvant-out" and never offers their ports as devices.
bool isKalvantPort(const std::string& name) {
  return name.rfind("kalvant-in1", 0) == 0 || name.rfind("kalvant-in2", 0) == 0 ||
         name.rfind("kalvant-out", 0) == 0;
}

int positionIn(RtMidi& probe, const std::string& portName) {
  int position = 0;
  const unsigned n = probe.getPortCount();
  for (unsigned p = 0; p < n; ++p) {
    const std::string name = probe.getPortName(p);
    if (isKalvantPort(name)) continue;
    if (name == portName) return position;
    ++position;
  }
  return -1;
}

}  // namespace

int sourcePosition(const std::string& portName) {
  RtMidiIn probe(RtMidi::UNIX_JACK, "e2e-probe");
  return positionIn(probe, portName);
}

int sinkPosition(const std::string& portName) {
  RtMidiOut probe(RtMidi::UNIX_JACK, "e2e-probe");
  return positionIn(probe, portName);
}

}  // namespace kalvant::e2e

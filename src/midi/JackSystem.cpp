// The console's one JACK client: its life, its callbacks, its cycle, its
// notifier thread (JackSystem.h).

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "midi/JackSystem.h"

namespace kalvant::midi {

bool isOwnPort(const std::string& name, const std::string& client) {
  return name.size() > client.size() && name.compare(0, client.size(), client) == 0 &&
         name[client.size()] == ':';
}

void quietJack() {
  static const bool done = [] {
    jack_set_error_function([](const char*) {});
    jack_set_info_function([](const char*) {});
    return true;
  }();
  (void)done;
}

namespace {

using Ms = std::chrono::milliseconds;

constexpr const char* kAudioNames[] = {"out_L", "out_R"};
// A server that runs no cycle for this long stands still.
constexpr Ms kCycleWait{200};

constexpr const char* kStoppedText =
    "The JACK server has stopped: kalvant can no longer play or hear MIDI. It will reconnect by "
    "itself when JACK runs again.";
constexpr const char* kBackText = "The JACK server answers again.";

// Counts the JACK callbacks running right now.
class Busy {
 public:
  explicit Busy(std::atomic<int>& count) : count_(count) { count_.fetch_add(1); }
  ~Busy() { count_.fetch_sub(1); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  std::atomic<int>& count_;
};

}  // namespace

JackSystem::JackSystem() {
  sem_init(&wakeup_, 0, 0);
  link_ = openLink();
  notifier_ = std::thread([this] { notify(); });
}

JackSystem::~JackSystem() {
  if (link_) jack_client_close(link_->client);
  stopping_ = true;
  sem_post(&wakeup_);
  notifier_.join();
  sem_destroy(&wakeup_);
}

void JackSystem::wake(int slot) noexcept {
  woken_[slot].store(true);
  sem_post(&wakeup_);
}

// The notifier thread: posts for the process thread, which must not. Counted
// in busy_ like a JACK callback, so detach() waits for it too.
void JackSystem::notify() {
  for (;;) {
    while (sem_wait(&wakeup_) != 0) {
    }  // interrupted by a signal: wait again
    if (stopping_.load()) return;
    const Busy busy(busy_);
    for (int slot = 0; slot < kSlots; ++slot) {
      if (!woken_[slot].exchange(false)) continue;
      if (JackEndpoint* port = objects_[slot].load()) port->woken();
    }
  }
}

void JackSystem::detach(int slot) {
  objects_[slot].store(nullptr);
  // A callback that took the pointer before it was cleared is still counted
  // in busy_. Callbacks are short and never wait, so this sleeps a few
  // hundred microseconds at most.
  while (busy_.load() != 0) std::this_thread::sleep_for(std::chrono::microseconds(100));
}

std::unique_ptr<JackSystem::Link> JackSystem::openLink() {
  auto link = std::make_unique<Link>();
  link->system = this;
  jack_status_t status{};
  link->client = jack_client_open(kClientName, JackNoStartServer, &status);
  if (!link->client) {
    failureCode_ = kWarning;
    failure_ = "no JACK server answers";
    return nullptr;
  }
  link->name = jack_get_client_name(link->client);
  if (registerPorts(*link)) {
    setCallbacks(*link);
    // No process callback runs now: the old client is closed, the new one
    // not yet active.
    cycle_.reset();
    if (jack_activate(link->client) == 0) return link;
    failure_ = "JACK would not activate kalvant's client";
  } else {
    failure_ = "JACK would not register kalvant's ports";
  }
  failureCode_ = kDriverError;
  jack_client_close(link->client);
  return nullptr;
}

bool JackSystem::registerPorts(Link& link) {
  for (int i = 0; i < kSlots; ++i) {
    const unsigned long flags = i == kOut ? JackPortIsOutput : JackPortIsInput;
    link.ports[i] =
        jack_port_register(link.client, kPortNames[i], JACK_DEFAULT_MIDI_TYPE, flags, 0);
    if (!link.ports[i]) return false;
  }
  for (std::size_t i = 0; i < link.audio.size(); ++i) {
    link.audio[i] = jack_port_register(link.client, kAudioNames[i], JACK_DEFAULT_AUDIO_TYPE,
                                       JackPortIsOutput, 0);
    if (!link.audio[i]) return false;
  }
  return true;
}

// Every callback is set before the client is activated.
void JackSystem::setCallbacks(Link& link) {
  jack_client_t* c = link.client;
  void* arg = &link;
  jack_set_process_callback(c, &JackSystem::process, arg);
  jack_on_shutdown(c, &JackSystem::shutdown, arg);
  jack_set_port_registration_callback(
      c, [](jack_port_id_t, int, void* a) { portsChanged(a); }, arg);
  jack_set_port_rename_callback(
      c, [](jack_port_id_t, const char*, const char*, void* a) { portsChanged(a); }, arg);
  // Only connections of our own ports (ours included: the owner re-reads
  // connectedName(), which costs nothing).
  jack_set_port_connect_callback(
      c,
      [](jack_port_id_t x, jack_port_id_t y, int, void* a) {
        const auto* l = static_cast<Link*>(a);
        if (l->owns(x) || l->owns(y)) portsChanged(a);
      },
      arg);
}

bool JackSystem::Link::owns(jack_port_id_t id) const {
  jack_port_t* port = jack_port_by_id(client, id);
  return port && std::find(ports.begin(), ports.end(), port) != ports.end();
}

// After a shutdown jack_client_close fails fast (it returns an error within
// a few tens of milliseconds) and ends the client's threads.
void JackSystem::closeLink() {
  jack_client_close(link_->client);
  link_.reset();
}

std::vector<std::string> JackSystem::devices(int slot) {
  std::vector<std::string> list;
  if (!usable()) return list;
  const unsigned long flags = slot == kOut ? JackPortIsInput : JackPortIsOutput;
  const char** ports = jack_get_ports(link_->client, nullptr, JACK_DEFAULT_MIDI_TYPE, flags);
  for (const char** p = ports; p && *p; ++p) {
    if (!isOwnPort(*p, link_->name)) list.emplace_back(*p);
  }
  if (ports) jack_free(ports);
  return list;
}

std::vector<std::string> JackSystem::connections(int slot) {
  std::vector<std::string> list;
  const char** names = jack_port_get_connections(link_->ports[slot]);
  for (const char** n = names; n && *n; ++n) list.emplace_back(*n);
  if (names) jack_free(names);
  return list;
}

bool JackSystem::connect(int slot, const std::string& device) {
  if (!usable()) return false;
  const char* ours = jack_port_name(link_->ports[slot]);
  const int result = slot == kOut ? jack_connect(link_->client, ours, device.c_str())
                                  : jack_connect(link_->client, device.c_str(), ours);
  if (result != 0 && result != EEXIST) return false;
  peers_[slot] = {jack_port_by_name(link_->client, device.c_str()), device};
  return true;
}

void JackSystem::disconnect(int slot) {
  const std::string peer = connectedName(slot);
  if (!peer.empty()) {
    const char* ours = jack_port_name(link_->ports[slot]);
    if (slot == kOut) {
      jack_disconnect(link_->client, ours, peer.c_str());
    } else {
      jack_disconnect(link_->client, peer.c_str(), ours);
    }
  }
  peers_[slot] = {};
}

std::string JackSystem::connectedName(int slot) {
  if (!usable()) return {};
  Peer& peer = peers_[slot];
  const std::vector<std::string> now = connections(slot);
  const auto connected = [&](const char* name) {
    return name && std::find(now.begin(), now.end(), name) != now.end();
  };
  if (connected(peer.name.c_str())) return peer.name;
  // Renamed while connected: the same port under its new name.
  const char* renamed = peer.port ? jack_port_name(peer.port) : nullptr;
  if (!connected(renamed)) return {};
  peer.name = renamed;
  return peer.name;
}

bool JackSystem::send(const std::uint8_t* data, std::size_t size, bool synthOnly) {
  if (!usable()) return false;
  while (!cycle_.push(data, size, synthOnly)) {
    if (!waitForCycle()) return false;
  }
  stalledAt_.reset();
  return true;
}

bool JackSystem::attachSynth(CycleSynth* synth) {
  synth_.store(synth);
  if (!synth) {
    // A cycle that took the synthesizer before it was cleared is counted in
    // busy_; it ends within a cycle.
    while (busy_.load() != 0) std::this_thread::sleep_for(std::chrono::microseconds(100));
    return false;
  }
  if (!usable()) return false;
  connectAudio();
  return true;
}

double JackSystem::sampleRate() const {
  return usable() ? jack_get_sample_rate(link_->client) : 0;
}

// out_L and out_R to the first two physical playback ports, when there are.
void JackSystem::connectAudio() {
  const char** playback = jack_get_ports(link_->client, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                         JackPortIsPhysical | JackPortIsInput);
  for (std::size_t i = 0; i < link_->audio.size() && playback && playback[i]; ++i)
    jack_connect(link_->client, jack_port_name(link_->audio[i]), playback[i]);
  if (playback) jack_free(playback);
}

void JackSystem::drain() {
  while (cycle_.pending()) {
    if (!waitForCycle()) return;
  }
  // Taken from the ring is not yet delivered: the cycle that took it ends,
  // and the one after carries it to a client running behind ours.
  waitFor(cycles_.load() + 2);
}

// Sleeps until one more cycle ran. False when the server is gone, or stands
// still; then every later call is false at once until a cycle runs again.
bool JackSystem::waitForCycle() {
  const std::uint64_t now = cycles_.load();
  if (stalledAt_ == now) return false;
  if (waitFor(now + 1)) return true;
  stalledAt_ = now;
  return false;
}

bool JackSystem::waitFor(std::uint64_t cycle) const {
  for (Ms waited{0}; cycles_.load() < cycle; waited += Ms(1)) {
    if (!usable() || waited >= kCycleWait) return false;
    std::this_thread::sleep_for(Ms(1));
  }
  return true;
}

void JackSystem::poll() {
  if (link_ && link_->dead.load()) {
    closeLink();
    lost_ = true;
  }
  if (!lost_) return;
  link_ = openLink();
  if (!link_) return;
  lost_ = false;
  stalledAt_.reset();
  for (int slot = 0; slot < kSlots; ++slot) forget(slot);
  if (synth_.load()) connectAudio();
  if (JackEndpoint* output = objects_[kOut].load())
    output->port().reportError(kSystemBack, kBackText);
  announce();
}

void JackSystem::forget(int slot) {
  peers_[slot] = {};
  if (JackEndpoint* port = objects_[slot].load()) port->forget();
}

void JackSystem::announce() {
  for (auto& object : objects_) {
    if (JackEndpoint* port = object.load()) port->port().devicesChanged();
  }
}

int JackSystem::process(jack_nframes_t frames, void* arg) {
  const auto* link = static_cast<Link*>(arg);
  JackSystem& self = *link->system;
  self.cycles_.fetch_add(1);
  const Busy busy(self.busy_);
  self.runCycle(*link, frames);
  return 0;
}

// What waits for the out port first, then this cycle's input events (whose
// live routers send into the same cycle), then the synthesizer's audio.
void JackSystem::runCycle(const Link& link, jack_nframes_t frames) {
  CycleSynth* synth = synth_.load();
  cycle_.begin(jack_port_get_buffer(link.ports[kOut], frames), frames,
               jack_get_sample_rate(link.client), synth);
  receiveMerged(link, frames);
  auto* left = static_cast<float*>(jack_port_get_buffer(link.audio[0], frames));
  auto* right = static_cast<float*>(jack_port_get_buffer(link.audio[1], frames));
  if (synth) {
    synth->render(left, right, frames);
  } else {
    std::fill_n(left, frames, 0.0f);
    std::fill_n(right, frames, 0.0f);
  }
}

// The events of in1 and in2 by frame time (in1 first at the same frame), so
// what the live routers send keeps non-decreasing times.
void JackSystem::receiveMerged(const Link& link, jack_nframes_t frames) {
  std::array<JackEndpoint*, 2> inputs{};
  std::array<void*, 2> buffers{};
  std::array<std::uint32_t, 2> next{}, count{};
  for (int slot : {kIn1, kIn2}) {
    inputs[slot] = objects_[slot].load();
    buffers[slot] = jack_port_get_buffer(link.ports[slot], frames);
    count[slot] = inputs[slot] ? jack_midi_get_event_count(buffers[slot]) : 0;
  }
  std::array<jack_midi_event_t, 2> event{};
  std::array<bool, 2> have{};
  const auto fetch = [&](int slot) {
    have[slot] = false;
    while (!have[slot] && next[slot] < count[slot])
      have[slot] = jack_midi_event_get(&event[slot], buffers[slot], next[slot]++) == 0;
  };
  fetch(kIn1);
  fetch(kIn2);
  while (have[kIn1] || have[kIn2]) {
    const int slot =
        !have[kIn2] || (have[kIn1] && event[kIn1].time <= event[kIn2].time) ? kIn1 : kIn2;
    cycle_.at(event[slot].time);
    inputs[slot]->receive(event[slot].buffer, event[slot].size);
    fetch(slot);
  }
}

void JackSystem::shutdown(void* arg) {
  auto* link = static_cast<Link*>(arg);
  JackSystem& self = *link->system;
  const Busy busy(self.busy_);
  if (link->dead.exchange(true)) return;
  if (JackEndpoint* output = self.objects_[kOut].load()) {
    output->port().reportError(kSystemStopped, kStoppedText);
  }
  self.announce();
}

void JackSystem::portsChanged(void* arg) {
  JackSystem& self = *static_cast<Link*>(arg)->system;
  const Busy busy(self.busy_);
  self.announce();
}

}  // namespace kalvant::midi

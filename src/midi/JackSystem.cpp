// The console's one JACK client: its life, its callbacks, its ring to the
// out port (JackSystem.h).

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

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
using Header = std::uint32_t;  // a message's size, ahead of its bytes in the ring

// Two cycles' worth of a full JACK MIDI buffer (32 KiB on jack2).
constexpr std::size_t kRingBytes = 64 * 1024;
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

JackSystem::JackSystem() : ring_(jack_ringbuffer_create(kRingBytes)) {
  scratch_.reserve(256);
  link_ = openLink();
}

JackSystem::~JackSystem() {
  if (link_) jack_client_close(link_->client);
  jack_ringbuffer_free(ring_);
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
    jack_ringbuffer_reset(ring_);
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

bool JackSystem::send(const std::uint8_t* data, std::size_t size) {
  const std::size_t need = sizeof(Header) + size;
  if (!usable() || need >= kRingBytes) return false;
  while (jack_ringbuffer_write_space(ring_) < need) {
    if (!waitForCycle()) return false;
  }
  stalledAt_.reset();
  // One write for the size and the bytes: the reader never sees half.
  const auto header = static_cast<Header>(size);
  scratch_.resize(need);
  std::memcpy(scratch_.data(), &header, sizeof header);
  std::memcpy(scratch_.data() + sizeof header, data, size);
  jack_ringbuffer_write(ring_, scratch_.data(), need);
  return true;
}

void JackSystem::drain() {
  while (jack_ringbuffer_read_space(ring_) > 0) {
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
  for (int slot : {kIn1, kIn2}) self.receive(slot, jack_port_get_buffer(link->ports[slot], frames));
  self.emit(jack_port_get_buffer(link->ports[kOut], frames));
  return 0;
}

void JackSystem::receive(int slot, void* buffer) {
  JackEndpoint* input = objects_[slot].load();
  if (!input) return;
  const std::uint32_t count = jack_midi_get_event_count(buffer);
  for (std::uint32_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) == 0) input->receive(event.buffer, event.size);
  }
}

// Moves whole messages from the ring into this cycle's buffer, at frame 0 in
// their order. What does not fit stays for the next cycle; a message larger
// than a whole empty buffer can never leave and is dropped.
void JackSystem::emit(void* buffer) {
  jack_midi_clear_buffer(buffer);
  bool first = true;
  Header size = 0;
  while (jack_ringbuffer_peek(ring_, reinterpret_cast<char*>(&size), sizeof size) == sizeof size &&
         jack_ringbuffer_read_space(ring_) >= sizeof size + size) {
    jack_midi_data_t* room = jack_midi_event_reserve(buffer, 0, size);
    if (!room && !first) return;
    jack_ringbuffer_read_advance(ring_, sizeof size);
    if (room) {
      jack_ringbuffer_read(ring_, reinterpret_cast<char*>(room), size);
    } else {
      jack_ringbuffer_read_advance(ring_, size);
    }
    first = false;
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

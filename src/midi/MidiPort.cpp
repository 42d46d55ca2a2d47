#include "midi/MidiPort.h"

#include <chrono>
#include <thread>

#include "midi/MidiBytes.h"
#include "midi/MonitorTap.h"

namespace kalvant::midi {

namespace {

// A live router's sends, shown to the monitor as they go out.
class TappedOut final : public CycleOut {
 public:
  TappedOut(CycleOut& out, int producer) : out_(out), producer_(producer) {}
  bool send(const std::uint8_t* data, std::size_t size) noexcept override {
    const bool sent = out_.send(data, size);
    if (sent) monitorTap().recordNow(producer_, TapPort::Out, data, size);
    return sent;
  }

 private:
  CycleOut& out_;
  int producer_;
};

}  // namespace

MidiPort::MidiPort(Post post) : post_(std::move(post)) {}

MidiPort::~MidiPort() = default;

void MidiPort::post(std::function<void()> fn) {
  std::weak_ptr<int> alive = alive_;
  post_([alive, fn = std::move(fn)] {
    if (alive.lock()) fn();
  });
}

std::vector<std::string> MidiPort::devices() {
  std::vector<std::string> list;
  const int n = deviceCount();
  for (int i = 0; i < n; ++i) {
    selectDevice(i);
    list.push_back(deviceName());
  }
  return list;
}

void MidiPort::reportError(int code, const std::string& text) {
  post([this, code, text] {
    if (onError) onError(code, text);
  });
}

void MidiPort::devicesChanged() {
  if (changePosted_.exchange(true)) return;
  post([this] {
    changePosted_ = false;
    if (onDevicesChanged) onDevicesChanged();
  });
}

// The consumer's side of the queue: head_ is its own, tail_ is acquired so
// the slots it covers are written.
int MidiInput::queueCount() const {
  const std::uint64_t head = head_.load(std::memory_order_relaxed);
  return static_cast<int>(tail_.load(std::memory_order_acquire) - head);
}

InMessage MidiInput::head() const {
  const std::uint64_t head = head_.load(std::memory_order_relaxed);
  if (tail_.load(std::memory_order_acquire) == head) return {};
  return slots_[head % kQueueCapacity];
}

std::uint64_t MidiInput::headId() const {
  const std::uint64_t head = head_.load(std::memory_order_relaxed);
  return tail_.load(std::memory_order_acquire) == head ? 0 : head + 1;
}

void MidiInput::dropHead(std::uint64_t id) {
  const std::uint64_t head = head_.load(std::memory_order_relaxed);
  if (id == head + 1 && tail_.load(std::memory_order_acquire) != head)
    head_.store(head + 1, std::memory_order_release);
}

void MidiInput::dropHead() {
  dropHead(headId());
}

void MidiInput::clearQueue() {
  resetParser_.store(true, std::memory_order_release);
  head_.store(tail_.load(std::memory_order_acquire), std::memory_order_release);
}

void MidiInput::enqueueFromDriver(const std::uint8_t* bytes, std::size_t size) {
  if (monitorTap().watching() &&
      !(size == 1 && filtered_[bytes[0]].load(std::memory_order_relaxed))) {
    const int input = liveInput_.load(std::memory_order_relaxed);
    monitorTap().recordNow(input, input == 1 ? TapPort::In2 : TapPort::In1, bytes, size);
  }
  if (resetParser_.exchange(false, std::memory_order_acq_rel)) parser_.reset();
  const std::uint64_t before = tail_.load(std::memory_order_relaxed);
  parser_.feed(bytes, size, [&](const InMessage& m) {
    if (!filtered_[m.status].load(std::memory_order_relaxed)) offerOrQueue(m);
  });
  if (tail_.load(std::memory_order_relaxed) != before && !notifyPosted_.exchange(true)) wakeGui();
}

// Offered only while the queue is empty: the GUI thread has dropped (so
// handled) every message it was given. Once one message is queued, every
// later one follows it until the queue is empty again.
void MidiInput::offerOrQueue(const InMessage& m) {
  const std::uint64_t tail = tail_.load(std::memory_order_relaxed);
  if (head_.load(std::memory_order_acquire) == tail) {
    liveUsers_.fetch_add(1);
    LiveRouter* router = liveRouter_.load();
    CycleOut* out = router ? cycleOut() : nullptr;
    const int input = liveInput_.load(std::memory_order_relaxed);
    bool taken = false;
    if (out && monitorTap().watching()) {
      TappedOut tapped(*out, input);
      taken = router->take(input, m, tapped);
    } else if (out) {
      taken = router->take(input, m, *out);
    }
    liveUsers_.fetch_sub(1);
    if (taken) return;
  }
  push(m);
}

void MidiInput::setLiveRouter(LiveRouter* router, int input) {
  liveInput_.store(input);
  liveRouter_.store(router);
  // A driver call that took the old router is counted; it is short and
  // never waits.
  while (liveUsers_.load() != 0) std::this_thread::sleep_for(std::chrono::microseconds(20));
}

bool MidiInput::push(const InMessage& m) {
  const std::uint64_t tail = tail_.load(std::memory_order_relaxed);
  const std::uint64_t count = tail - head_.load(std::memory_order_acquire);
  const std::size_t limit = isRelease(m) ? kQueueCapacity : kQueueLimit;
  if (count >= limit) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  slots_[tail % kQueueCapacity] = m;
  tail_.store(tail + 1, std::memory_order_release);
  return true;
}

void MidiInput::postDelivery() {
  post([this] { deliver(); });
}

void MidiInput::deliver() {
  // Cleared before the handler runs: a message queued from now on posts a
  // fresh notification, so none is left waiting in the queue.
  notifyPosted_ = false;
  if (inHandler_ || !onMessage) return;
  inHandler_ = true;
  onMessage();
  inHandler_ = false;
}

void MidiOutput::tapSent(const std::uint8_t* data, std::size_t size) {
  if (monitored_) monitorTap().record(MonitorTap::kGuiProducer, TapPort::Out, data, size);
}

void MidiOutput::sendShort(int status, int data1, int data2) {
  const auto s = static_cast<std::uint8_t>(status & 0xFF);
  const int length = shortMessageLength(s);
  if (!open_ || length == 0) return;
  const std::uint8_t bytes[3] = {s, static_cast<std::uint8_t>(data1 & 0x7F),
                                 static_cast<std::uint8_t>(data2 & 0x7F)};
  tapSent(bytes, static_cast<std::size_t>(length));
  sendMessage(bytes, static_cast<std::size_t>(length));
}

void MidiOutput::sendSysex(std::string_view bytes) {
  if (!open_) return;
  handedOver(bytes);
  for (std::string_view message : splitAtF7(bytes)) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(message.data());
    tapSent(data, message.size());
    sendMessage(data, message.size());
  }
}

}  // namespace kalvant::midi

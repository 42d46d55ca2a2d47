#include "midi/MidiPort.h"

#include <algorithm>

#include "midi/MidiBytes.h"

namespace kalvant::midi {

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

int MidiInput::queueCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(queue_.size());
}

InMessage MidiInput::head() const {
  std::lock_guard lock(mutex_);
  return queue_.empty() ? InMessage{} : queue_.front().message;
}

std::uint64_t MidiInput::headId() const {
  std::lock_guard lock(mutex_);
  return queue_.empty() ? 0 : queue_.front().id;
}

void MidiInput::dropHead(std::uint64_t id) {
  std::lock_guard lock(mutex_);
  if (!queue_.empty() && queue_.front().id == id) queue_.pop_front();
}

void MidiInput::dropHead() {
  std::lock_guard lock(mutex_);
  if (!queue_.empty()) queue_.pop_front();
}

void MidiInput::clearQueue() {
  std::lock_guard lock(mutex_);
  queue_.clear();
  parser_.reset();
}

std::uint64_t MidiInput::droppedCount() const {
  std::lock_guard lock(mutex_);
  return dropped_;
}

void MidiInput::enqueueFromDriver(const std::uint8_t* bytes, std::size_t size) {
  bool queued = false;
  {
    std::lock_guard lock(mutex_);
    parser_.feed(bytes, size, [&](const InMessage& m) {
      if (!filtered_[m.status] && push(m)) queued = true;
    });
  }
  if (queued && !notifyPosted_.exchange(true)) post([this] { deliver(); });
}

bool MidiInput::push(const InMessage& m) {
  if (queue_.size() >= kQueueLimit && !(isRelease(m) && makeRoomForRelease())) {
    ++dropped_;
    return false;
  }
  queue_.push_back({m, nextId_++});
  return true;
}

bool MidiInput::makeRoomForRelease() {
  if (queue_.size() < kQueueLimit + kReleaseReserve) return true;
  // Never the head: the handler may be handling it right now.
  const auto victim = std::find_if(queue_.begin() + 1, queue_.end(),
                                   [](const Queued& q) { return !isRelease(q.message); });
  if (victim == queue_.end()) return false;
  queue_.erase(victim);
  ++dropped_;
  return true;
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

void MidiOutput::sendShort(int status, int data1, int data2) {
  const auto s = static_cast<std::uint8_t>(status & 0xFF);
  const int length = shortMessageLength(s);
  if (!open_ || length == 0) return;
  const std::uint8_t bytes[3] = {s, static_cast<std::uint8_t>(data1 & 0x7F),
                                 static_cast<std::uint8_t>(data2 & 0x7F)};
  sendMessage(bytes, static_cast<std::size_t>(length));
}

void MidiOutput::sendSysex(std::string_view bytes) {
  if (!open_) return;
  handedOver(bytes);
  for (std::string_view message : splitAtF7(bytes)) {
    sendMessage(reinterpret_cast<const std::uint8_t*>(message.data()), message.size());
  }
}

}  // namespace kalvant::midi

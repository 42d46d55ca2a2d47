// The monitor's tap (MonitorTap.h).

#include "midi/MonitorTap.h"

#include <chrono>
#include <cstring>

namespace kalvant::midi {

TapRing::TapRing(std::size_t capacity)
    : capacity_(capacity), slots_(std::make_unique<TapRecord[]>(capacity)) {}

bool TapRing::push(TapPort port, const std::uint8_t* data, std::size_t size,
                   std::int64_t nanos) noexcept {
  const std::uint64_t tail = tail_.load(std::memory_order_relaxed);
  if (tail - head_.load(std::memory_order_acquire) >= capacity_) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  TapRecord& r = slots_[tail % capacity_];
  r.nanos = nanos;
  r.size = static_cast<std::uint32_t>(size);
  r.port = port;
  std::memcpy(r.bytes, data, r.kept());
  tail_.store(tail + 1, std::memory_order_release);
  return true;
}

const TapRecord* TapRing::front() const noexcept {
  const std::uint64_t head = head_.load(std::memory_order_relaxed);
  if (head == tail_.load(std::memory_order_acquire)) return nullptr;
  return &slots_[head % capacity_];
}

void TapRing::pop() noexcept {
  head_.store(head_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

void TapRing::discardAll() noexcept {
  head_.store(tail_.load(std::memory_order_acquire), std::memory_order_release);
}

MonitorTap::MonitorTap(std::size_t capacity) {
  for (auto& ring : rings_) ring = std::make_unique<TapRing>(capacity);
}

void MonitorTap::setWatching(bool on) noexcept {
  if (on && !watching()) {
    for (auto& ring : rings_) ring->discardAll();
  }
  watching_.store(on, std::memory_order_relaxed);
}

void MonitorTap::recordNow(int producer, TapPort port, const std::uint8_t* data,
                           std::size_t size) noexcept {
  if (producer < 0 || producer >= kProducers || size == 0) return;
  rings_[producer]->push(port, data, size, now());
}

std::uint64_t MonitorTap::dropped() const noexcept {
  std::uint64_t n = 0;
  for (const auto& ring : rings_) n += ring->dropped();
  return n;
}

std::int64_t MonitorTap::now() noexcept {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

namespace {
MonitorTap processTap;
}  // namespace

MonitorTap& monitorTap() {
  return processTap;
}

}  // namespace kalvant::midi

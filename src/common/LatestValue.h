#pragma once
// The latest of a value one thread writes and another reads, wait-free for
// both: three copies (the writer's, the reader's, the one passed between),
// so the reader only ever sees a whole value.

#include <array>
#include <atomic>

namespace kalvant {

template <class T>
class LatestValue {
 public:
  explicit LatestValue(const T& initial = T{}) : slots_{initial, initial, initial} {}
  // Writer: fills back(), then publishes it.
  T& back() { return slots_[back_]; }
  void publish() { back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndex; }
  void publish(const T& value) {
    back() = value;
    publish();
  }
  // Reader: the last value published; valid until the next call.
  const T& latest() {
    if (middle_.load(std::memory_order_relaxed) & kFresh)
      front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndex;
    return slots_[front_];
  }

 private:
  static constexpr unsigned kIndex = 3, kFresh = 4;
  std::array<T, 3> slots_;
  unsigned back_ = 0, front_ = 2;
  std::atomic<unsigned> middle_{1};
};

}  // namespace kalvant

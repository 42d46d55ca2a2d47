#include "sysex/OutputSchedule.h"

#include <algorithm>
#include <utility>

#include "midi/MidiBytes.h"

namespace kalvant {

void OutputSchedule::send(int N, int division) {
  if (N < 0 || N >= kStopsTableSize || sealed_) return;
  const std::string& entry = table_[static_cast<std::size_t>(N)];
  const int delay = std::max<int>(sysexDelay_, 0);
  if (delay == 0) return queue(sysexItem(entry, division));
  for (std::string_view message : midi::splitAtF7(entry)) {
    queue(sysexItem(message, division));
    queue(pauseItem(delay, division));
  }
}

OutputSchedule::Item OutputSchedule::sysexItem(std::string_view bytes, int tag) {
  Item item;
  item.tag = tag, item.sysex = bytes;
  return item;
}

OutputSchedule::Item OutputSchedule::pauseItem(int msec, int tag) {
  Item item;
  item.kind = Kind::Pause, item.tag = tag, item.msec = msec;
  return item;
}

void OutputSchedule::sendStop(int N, int division) {
  if (sealed_) return;
  dropUnsent(division);
  send(N, division);
}

void OutputSchedule::controller(const OrganDivision& division, int number, int value) {
  Item item;
  item.kind = Kind::Controller;
  item.status = division.controllerStatus(), item.number = number, item.value = value;
  queue(std::move(item));
}

void OutputSchedule::pause(int msec) {
  if (msec > 0) queue(pauseItem(msec, kUntagged));
}

void OutputSchedule::then(std::function<void()> call) {
  Item item;
  item.kind = Kind::Call, item.call = std::move(call);
  queue(std::move(item));
}

void OutputSchedule::queue(Item item) {
  if (sealed_) return;
  queue_.push_back(std::move(item));
  release();
}

// A pause that has begun stays: it gives the module time after a message it
// has already received.
void OutputSchedule::dropUnsent(int tag) {
  if (tag == kUntagged) return;
  auto first = queue_.begin();
  if (pauseEnd_ && first != queue_.end()) ++first;
  queue_.erase(
      std::remove_if(first, queue_.end(),
                     [tag](const Item& i) { return i.tag == tag && i.kind != Kind::Controller; }),
      queue_.end());
}

void OutputSchedule::release() {
  if (releasing_) return;  // a call queues more: this loop releases it
  releasing_ = true;
  while (!queue_.empty()) {
    if (queue_.front().kind == Kind::Pause) {
      const auto now = loop_.now();
      if (!pauseEnd_) pauseEnd_ = now + std::chrono::milliseconds(queue_.front().msec);
      if (now < *pauseEnd_) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*pauseEnd_ - now);
        loop_.startTimer(static_cast<int>(std::max<std::int64_t>(left.count(), 1)));
        releasing_ = false;
        return;
      }
      pauseEnd_.reset();
      queue_.pop_front();
      continue;
    }
    Item item = std::move(queue_.front());
    queue_.pop_front();
    handOver(item);
  }
  loop_.stopTimer();
  releasing_ = false;
}

void OutputSchedule::handOver(const Item& item) {
  if (item.kind == Kind::Call) return item.call();
  if (item.kind == Kind::Sysex) return output_.sysex(item.sysex);
  output_.forward(item.status, item.number, item.value);
}

}  // namespace kalvant

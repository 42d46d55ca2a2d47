#include "ports/DeviceLink.h"

namespace kalvant::ports {

int findDevice(const std::vector<std::string>& list, const std::string& name, int occurrence) {
  if (name.empty()) return -1;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == name && occurrence-- == 0) return static_cast<int>(i);
  }
  return -1;
}

bool DeviceLink::open(const std::vector<std::string>& list, int occurrence) {
  close();
  const int position = findDevice(list, wanted_, occurrence);
  if (position < 0) return false;
  port_.selectDevice(position);
  if (input_) input_->setFilter(254, true);
  connected_ = port_.open() && port_.start();
  if (!connected_ && port_.isOpen()) port_.close();
  return connected_;
}

void DeviceLink::close() {
  if (port_.isOpen()) port_.close();
  connected_ = false;
}

// A back-end that can tell says whether the connection is still there, and
// under which name; otherwise the device is gone when the list no longer
// holds it.
DeviceLink::Change DeviceLink::watch(const std::vector<std::string>& list, int occurrence) {
  if (!connected_) return open(list, occurrence) ? Change::Connected : Change::None;
  const std::optional<std::string> now =
      port_.isOpen() ? port_.connectedName() : std::optional<std::string>("");
  if (now ? now->empty() : findDevice(list, wanted_, occurrence) < 0) {
    close();
    return Change::Lost;
  }
  if (!now || *now == wanted_) return Change::None;
  wanted_ = *now;
  return Change::Renamed;
}

}  // namespace kalvant::ports

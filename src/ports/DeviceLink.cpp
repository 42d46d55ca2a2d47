#include "ports/DeviceLink.h"

namespace kalvant::ports {

int findDevice(const std::vector<std::string>& list, const std::string& name, int occurrence) {
  if (name.empty()) return -1;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == name && occurrence-- == 0) return static_cast<int>(i);
  }
  return -1;
}

std::vector<std::string> listDevices(midi::MidiPort& port) {
  std::vector<std::string> list;
  const int n = port.deviceCount();
  for (int i = 0; i < n; ++i) {
    port.selectDevice(i);
    list.push_back(port.deviceName());
  }
  return list;
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

// A back-end that can tell says whether the connection is still there;
// otherwise the device is gone when the list no longer holds it.
bool DeviceLink::gone(const std::vector<std::string>& list, int occurrence) {
  if (!port_.isOpen()) return true;
  const std::optional<std::string> now = port_.connectedName();
  if (now) return now->empty();
  return findDevice(list, wanted_, occurrence) < 0;
}

DeviceLink::Change DeviceLink::watch(const std::vector<std::string>& list, int occurrence) {
  if (connected_) {
    if (gone(list, occurrence)) {
      close();
      return Change::Lost;
    }
    const std::optional<std::string> now = port_.connectedName();
    if (now && *now != wanted_) {
      wanted_ = *now;
      return Change::Renamed;
    }
    return Change::None;
  }
  return open(list, occurrence) ? Change::Connected : Change::None;
}

}  // namespace kalvant::ports

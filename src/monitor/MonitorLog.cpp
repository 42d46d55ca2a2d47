// The MIDI monitor's lines (MonitorLog.h).

#include "monitor/MonitorLog.h"

namespace kalvant::monitor {

void MonitorLog::add(midi::TapPort port, std::string text) {
  if (lines_.size() >= kMaxLines) lines_.pop_front();
  lines_.push_back({port, std::move(text)});
}

std::string MonitorLog::text(const PortFilter& filter) const {
  std::string out;
  for (const Line& line : lines_) {
    if (!filter.shows(line.port)) continue;
    out += line.text;
    out += '\n';
  }
  return out;
}

}  // namespace kalvant::monitor

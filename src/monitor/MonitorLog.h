#pragma once
// The MIDI monitor's lines: the last kMaxLines, each with the port it came
// through, shown or saved through a per-port filter. Free of widgets.

#include <cstddef>
#include <deque>
#include <string>

#include "midi/MonitorTap.h"

namespace kalvant::monitor {

struct PortFilter {
  bool in1 = true, in2 = true, out = true;
  bool shows(midi::TapPort port) const {
    return port == midi::TapPort::In1 ? in1 : port == midi::TapPort::In2 ? in2 : out;
  }
};

class MonitorLog {
 public:
  static constexpr std::size_t kMaxLines = 10000;

  struct Line {
    midi::TapPort port;
    std::string text;
  };

  // Beyond kMaxLines the oldest line goes.
  void add(midi::TapPort port, std::string text);
  void clear() { lines_.clear(); }
  std::size_t size() const { return lines_.size(); }
  const std::deque<Line>& lines() const { return lines_; }
  // The lines the filter shows, each ended by a newline.
  std::string text(const PortFilter& filter) const;

 private:
  std::deque<Line> lines_;
};

}  // namespace kalvant::monitor

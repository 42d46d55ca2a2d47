#pragma once
// The frame-clock clients of the end-to-end harness, and one printed line
// per path measured with them.

#include <string>
#include <vector>

#include "harness/FrameClients.h"

namespace kalvant::bench {

using e2e::Arrived;
using e2e::Frame;
using e2e::FrameSink;
using e2e::FrameSource;
using e2e::matchArrivals;
using e2e::numberedNote;
using e2e::PathResult;
using e2e::periodsBetween;
using e2e::Planned;

// One line per path: added latency in periods (p50, p99, max) and in frames
// (min, p50, p99, max) of the messages that came, what went wrong, and how
// many arrived in the period they were sent in, the next, and later.
void printPath(const std::string& label, const PathResult& r, const std::vector<Frame>& sent,
               Frame start, Frame period);

}  // namespace kalvant::bench

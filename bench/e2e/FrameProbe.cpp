#include "FrameProbe.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "BenchRig.h"

namespace kalvant::bench {

void printPath(const std::string& label, const PathResult& r, const std::vector<Frame>& sent,
               Frame start, Frame period) {
  std::vector<double> periods, frames;
  std::array<long, 4> inPeriod{};  // +0, +1, +2, +3 or later
  for (std::size_t i = 0; i < sent.size(); ++i) {
    if (!r.came[i]) continue;
    frames.push_back(static_cast<double>(r.latency[i]));
    const long p = periodsBetween(start, period, sent[i], r.arrival[i]);
    periods.push_back(static_cast<double>(p));
    ++inPeriod[static_cast<std::size_t>(std::clamp(p, 0L, 3L))];
  }
  const Spread p = spreadOf(periods), f = spreadOf(frames);
  const double least = frames.empty() ? 0 : *std::min_element(frames.begin(), frames.end());
  std::printf(
      "  %-36s periods p50 %2.0f p99 %2.0f max %2.0f | frames min %4.0f p50 %4.0f p99 %4.0f "
      "max %4.0f | lost %ld doubled %ld reordered %ld other %ld\n",
      label.c_str(), p.p50, p.p99, p.max, least, f.p50, f.p99, f.max, r.lost, r.doubled,
      r.reordered, r.other);
  std::printf("  %-36s arrived in the same period %ld, +1 %ld, +2 %ld, +3 or later %ld\n", "",
              inPeriod[0], inPeriod[1], inPeriod[2], inPeriod[3]);
}

}  // namespace kalvant::bench

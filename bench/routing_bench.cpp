// The routing decision alone: how many messages a second it can decide,
// for the paths a player uses most.

#include <benchmark/benchmark.h>

#include "routing/Routing.h"

namespace {

using kalvant::routing::Message;
using kalvant::routing::RoutingState;

RoutingState organ(kalvant::routing::i16 thru) {
  RoutingState s;
  s.thruMode = thru;
  s.activeManual = 2;
  s.fixedChannel = {3, 0, 1};
  s.manualCoupler = 2;
  s.pedalCoupler = 1;
  return s;
}

void route(benchmark::State& state, RoutingState s) {
  int key = 36;
  for (auto _ : state) {
    const Message m{0x90 | (key & 3), key, 100};
    benchmark::DoNotOptimize(kalvant::routing::route(s, m));
    key = key == 96 ? 36 : key + 1;
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(route, no_rechannelling, organ(0));
BENCHMARK_CAPTURE(route, normal_with_coupler, organ(1));
BENCHMARK_CAPTURE(route, fixed_channels, organ(2));
BENCHMARK_MAIN();

// kalvant on a JACK server, measured from outside: added latency, load,
// idle cost, start-up. Needs a running server (JACK_DEFAULT_SERVER);
// scripts/bench starts one.
//   kalvant_jack_bench [--quick] [latency|load|idle|startup ...]

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchRig.h"

int main(int argc, char** argv) {
  using namespace kalvant::bench;
  bool quick = false;
  std::vector<std::string> wanted;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--quick") {
      quick = true;
    } else {
      wanted.push_back(a);
    }
  }
  if (!std::getenv("JACK_DEFAULT_SERVER")) {
    std::fprintf(stderr, "no JACK_DEFAULT_SERVER: run scripts/bench\n");
    return 2;
  }
  const auto want = [&](const std::string& name) {
    if (wanted.empty()) return true;
    for (const std::string& w : wanted)
      if (w == name) return true;
    return false;
  };
  if (want("startup")) startupBench(quick);
  if (want("latency")) latencyBench(quick);
  if (want("idle")) idleBench(quick);
  if (want("load")) loadBench(quick);
  return 0;
}

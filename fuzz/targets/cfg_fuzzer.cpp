// libFuzzer entry: every input goes through checkCfg; a broken rule aborts, so
// the fuzzer keeps the input as a crash.

#include <cstdio>
#include <cstdlib>

#include "Checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string broken = kalvant::fuzz::checkCfg(data, size);
  if (!broken.empty()) {
    std::fprintf(stderr, "broken rule: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}

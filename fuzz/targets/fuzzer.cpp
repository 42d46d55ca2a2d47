// libFuzzer entry, built once for each reader and for the console:
// KALVANT_FUZZ_CHECK names the check every input goes through. A broken rule
// aborts, so the fuzzer keeps the input as a crash.

#include <cstdio>
#include <cstdlib>

#include "Checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string broken = kalvant::fuzz::KALVANT_FUZZ_CHECK(data, size);
  if (!broken.empty()) {
    std::fprintf(stderr, "broken rule: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}

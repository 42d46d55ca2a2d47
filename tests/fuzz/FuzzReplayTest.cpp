// Every seed and kept input of the fuzzers replayed through their checks in the normal build.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "Checks.h"

namespace kalvant::fuzz {
namespace {

using Check = std::string (*)(const std::uint8_t*, std::size_t);

// Replays fuzz/corpus/NAME and fuzz/regressions/NAME, and an empty input; returns how many.
int replay(const std::string& name, Check check) {
  EXPECT_EQ(check(nullptr, 0), "") << name;
  int count = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    const std::filesystem::path dir = std::filesystem::path(KALVANT_FUZZ_DIR) / kind / name;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
      std::ifstream in(e.path(), std::ios::binary);
      const std::string b{std::istreambuf_iterator<char>(in), {}};
      EXPECT_EQ(check(reinterpret_cast<const std::uint8_t*>(b.data()), b.size()), "") << e.path();
      ++count;
    }
  }
  return count;
}

TEST(FuzzReplay, EverySeedAndKeptInputBreaksNoRule) {
  EXPECT_GE(replay("dat", checkDat), 5);
  EXPECT_GE(replay("cfg", checkCfg), 5);
  EXPECT_GE(replay("memory", checkMemoryFile), 5);
  EXPECT_GE(replay("console", checkConsole), 9);
}

}  // namespace
}  // namespace kalvant::fuzz

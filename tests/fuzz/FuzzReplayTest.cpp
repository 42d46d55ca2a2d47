// Every seed and every kept input of the fuzzers, replayed through the
// checks the fuzzers run: a reader or the routing that crashes, leaks or
// breaks a rule on one of them fails here, in the normal build.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Checks.h"

namespace kalvant::fuzz {
namespace {

namespace fs = std::filesystem;
using Check = std::string (*)(const std::uint8_t*, std::size_t);

// Replays fuzz/corpus/NAME and fuzz/regressions/NAME; returns how many.
int replay(const std::string& name, Check check) {
  int count = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(KALVANT_FUZZ_DIR) / kind / name;
    if (!fs::is_directory(dir)) continue;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
      std::ifstream in(e.path(), std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), {}};
      EXPECT_EQ(check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
          << e.path();
      ++count;
    }
  }
  return count;
}

TEST(FuzzReplay, EverySeedAndKeptInputBreaksNoRule) {
  const std::tuple<const char*, Check, int> rows[] = {{"dat", checkDat, 5},
                                                      {"cfg", checkCfg, 5},
                                                      {"memory", checkMemoryFile, 5},
                                                      {"console", checkConsole, 9}};
  for (const auto& [name, check, atLeast] : rows) {
    EXPECT_GE(replay(name, check), atLeast) << name;
    EXPECT_EQ(check(nullptr, 0), "") << name;  // an empty input too
  }
}

}  // namespace
}  // namespace kalvant::fuzz

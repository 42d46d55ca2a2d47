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

std::string readBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Replays fuzz/corpus/NAME and fuzz/regressions/NAME; returns how many.
int replay(const std::string& name, Check check) {
  int count = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(KALVANT_FUZZ_DIR) / kind / name;
    if (!fs::is_directory(dir)) continue;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
      const std::string bytes = readBytes(e.path());
      EXPECT_EQ(check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
          << e.path();
      ++count;
    }
  }
  return count;
}

TEST(FuzzReplay, StopsTables) {
  EXPECT_GE(replay("dat", checkDat), 5);
}

TEST(FuzzReplay, ConfigurationFiles) {
  EXPECT_GE(replay("cfg", checkCfg), 5);
}

TEST(FuzzReplay, MemoryFiles) {
  EXPECT_GE(replay("memory", checkMemoryFile), 5);
}

TEST(FuzzReplay, ConsoleScripts) {
  EXPECT_GE(replay("console", checkConsole), 9);
}

TEST(FuzzReplay, EmptyInputsBreakNoRule) {
  for (Check check : {checkDat, checkCfg, checkMemoryFile, checkConsole})
    EXPECT_EQ(check(nullptr, 0), "");
}

}  // namespace
}  // namespace kalvant::fuzz

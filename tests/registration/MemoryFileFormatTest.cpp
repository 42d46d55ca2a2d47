#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/NumberLines.h"
#include "registration/MemoryFileFormat.h"

namespace kalvant {
namespace {

MemoryFileData sample() {
  MemoryFileData d{"kalvant.dat", 2, 100, 0, 1, 1, {}};
  for (std::int16_t n = 0; n < kMemoriesPerFile; ++n)
    d.records.push_back({std::int16_t(80 + n), 127, std::int16_t(10 + n), 0, std::int16_t(50 + n),
                         0, std::int16_t(80 + n % 3), 0, std::int16_t(n % 3),
                         std::int16_t(1 + n % 3)});
  return d;
}

std::string firstLines(const std::string& bytes, int lines) {
  std::size_t at = 0;
  for (int i = 0; i < lines; ++i) at = bytes.find('\n', at) + 1;
  return bytes.substr(0, at);
}

TEST(MemoryFile, WritesTheExactLayout) {
  const std::string bytes = serialiseMemoryFile({"kalvant.dat", -3, 100, 0, 0, 1, {}});
  EXPECT_EQ(firstLines(bytes, 3), "kalvant.dat\r\n-3 \r\n 100 \r\n");  // the writer does not judge
  // Missing records are the initial registration.
  std::string record =
      " 127 \r\n 127 \r\n 10 \r\n 0 \r\n 50 \r\n 0 \r\n 80 \r\n 0 \r\n 0 \r\n 1 \r\n";
  std::string records;
  for (int m = 0; m < 12; ++m) records += record;
  EXPECT_EQ(bytes.substr(13 + 27), records);
}

std::string withoutFraming(std::string bytes) {
  std::erase_if(bytes, [](char c) { return c == ' ' || c == '\r'; });
  return bytes;
}

std::string replaceLine(const std::string& bytes, int line, const std::string& text) {
  std::vector<std::string> lines = splitLines(bytes);
  lines[line - 1] = text;
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

TEST(MemoryFile, ReadsWhatItCanAndStopsAtTheTwelfthRecord) {
  const std::string full = serialiseMemoryFile(sample());
  const std::tuple<const char*, std::string, std::size_t, const char*> cases[] = {
      // what, bytes, records read, the line an error names (nullptr: read without error)
      {"as written", full, 12, nullptr},
      {"no framing spaces, LF only", withoutFraming(full), 12, nullptr},
      {"DAT name with comment", replaceLine(full, 1, "kalvant.dat,2024"), 12, nullptr},
      {"header only", firstLines(full, 6), 0, nullptr},
      {"cut after three records", firstLines(full, 36), 3, nullptr},
      {"last line without CR LF", full.substr(0, full.size() - 2), 12, nullptr},
      {"extra records ignored", full + full.substr(full.find("\r\n") + 2), 12, nullptr},
      {"text after the twelfth record", full + "not a number\r\n", 12, nullptr},
      {"cut inside record 4", firstLines(full, 40), 3, "line 41:"},
      {"text in the header", replaceLine(full, 3, "loud"), 0, "line 3:"},
      {"text in record 5", replaceLine(full, 50, " 1O "), 4, "line 50:"},
      {"two numbers on a line", replaceLine(full, 7, " 1 2 "), 0, "line 7:"},
      {"header cut short", firstLines(full, 4), 0, "line 5:"}};
  for (const auto& [what, bytes, records, errorLine] : cases) {
    const MemoryFileReadResult r = parseMemoryFile(bytes, "test.sqs");
    EXPECT_EQ(r.ok, errorLine == nullptr) << what << ": " << r.error;
    const auto& all = sample().records;
    EXPECT_EQ(r.data.records, std::vector(all.begin(), all.begin() + records)) << what;
    if (errorLine)
      EXPECT_NE(r.error.find(std::string("\"test.sqs\" ") + errorLine), std::string::npos)
          << r.error;
    else
      EXPECT_EQ(r.data.datFileName, "kalvant.dat") << what;
  }
}

}  // namespace
}  // namespace kalvant

// Memory files: the exact byte layout, tolerant reading of older files, and
// where reading stops.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/NumberLines.h"
#include "registration/MemoryFileFormat.h"

namespace kalvant {
namespace {

MemoryFileData sample() {
  MemoryFileData d{"kalvant.dat", 2, 100, 0, 1, 1, {}};
  for (int m = 0; m < kMemoriesPerFile; ++m) {
    const auto n = static_cast<std::int16_t>(m);
    d.records.push_back({static_cast<std::int16_t>(80 + n), 127, static_cast<std::int16_t>(10 + n),
                         0, static_cast<std::int16_t>(50 + n), 0,
                         static_cast<std::int16_t>(80 + n % 3), 0, static_cast<std::int16_t>(n % 3),
                         static_cast<std::int16_t>(1 + n % 3)});
  }
  return d;
}

// The file's first `lines` lines, with their endings.
std::string firstLines(const std::string& bytes, int lines) {
  std::size_t at = 0;
  for (int i = 0; i < lines; ++i) at = bytes.find('\n', at) + 1;
  return bytes.substr(0, at);
}

TEST(MemoryFile, WritesTheExactLayout) {
  MemoryFileData d{"kalvant.dat", -3, 100, 0, 0, 1, {}};  // the writer does not judge
  const std::string bytes = serialiseMemoryFile(d);
  const std::vector<std::string> lines = splitLines(bytes);
  ASSERT_EQ(lines.size(), 126u);
  EXPECT_EQ(firstLines(bytes, 3), "kalvant.dat\r\n-3 \r\n 100 \r\n");
  // Missing records are the initial registration: Great stop 10 on line 9.
  EXPECT_EQ(lines[8], " 10 ");
  const std::string record =
      " 127 \r\n 127 \r\n 10 \r\n 0 \r\n 50 \r\n 0 \r\n 80 \r\n 0 \r\n 0 \r\n 1 \r\n";
  EXPECT_EQ(bytes.substr(bytes.size() - record.size()), record);
  EXPECT_EQ(bytes.size(), 13 + 27 + 12 * record.size());
}

struct Variant {
  const char* what;
  std::string bytes;
  bool ok;
  std::size_t records;
  const char* errorLine;  // "line N:" the error must name, or nullptr
};

std::string withoutFraming(const std::string& bytes) {
  std::string out;
  for (char c : bytes)
    if (c != ' ' && c != '\r') out.push_back(c);
  return out;
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
  const std::vector<Variant> cases{
      {"as written", full, true, 12, nullptr},
      {"no framing spaces, LF only", withoutFraming(full), true, 12, nullptr},
      {"DAT name with comment", replaceLine(full, 1, "kalvant.dat,2024"), true, 12, nullptr},
      {"header only", firstLines(full, 6), true, 0, nullptr},
      {"cut after three records", firstLines(full, 36), true, 3, nullptr},
      {"last line without CR LF", full.substr(0, full.size() - 2), true, 12, nullptr},
      {"extra records ignored", full + full.substr(full.find("\r\n") + 2), true, 12, nullptr},
      {"text after the twelfth record", full + "not a number\r\n", true, 12, nullptr},
      {"cut inside record 4", firstLines(full, 40), false, 3, "line 41:"},
      {"text in the header", replaceLine(full, 3, "loud"), false, 0, "line 3:"},
      {"text in record 5", replaceLine(full, 50, " 1O "), false, 4, "line 50:"},
      {"two numbers on a line", replaceLine(full, 7, " 1 2 "), false, 0, "line 7:"},
      {"header cut short", firstLines(full, 4), false, 0, "line 5:"},
  };
  for (const Variant& c : cases) {
    const MemoryFileReadResult r = parseMemoryFile(c.bytes, "test.sqs");
    EXPECT_EQ(r.ok, c.ok) << c.what << ": " << r.error;
    EXPECT_EQ(r.data.records.size(), c.records) << c.what;
    for (std::size_t i = 0; i < r.data.records.size(); ++i)
      EXPECT_EQ(r.data.records[i], sample().records[i]) << c.what << " record " << i;
    if (c.errorLine) {
      EXPECT_NE(r.error.find(std::string("\"test.sqs\" ") + c.errorLine), std::string::npos)
          << c.what << ": " << r.error;
      EXPECT_NE(r.error.find(c.errorLine), std::string::npos) << c.what << ": " << r.error;
    } else {
      EXPECT_EQ(r.data.datFileName, "kalvant.dat") << c.what;
    }
  }
}

}  // namespace
}  // namespace kalvant

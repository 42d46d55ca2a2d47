#include "stops/DatFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kalvant {
namespace {

std::string bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

std::string serialised(const StopsTable& t) {
  std::string out, error;
  EXPECT_TRUE(serialiseDat(t, out, error)) << error;
  return out;
}

TEST(DatFile, RecordLayout) {
  struct Case {
    const char* what;
    int index;
    std::string entry;
    std::string expectedRecordStart;
  };
  const Case cases[] = {
      {"abc", 0, "abc", bytes({0x03, 0x00, 'a', 'b', 'c'})},
      {"300 bytes", 0, std::string(300, 'x'), bytes({0x2C, 0x01, 'x'})},
      {"empty", 0, "", bytes({0x00, 0x00, 0x00, 0x00})},  // next record follows at once
      {"high and zero bytes", 0, bytes({0x00, 0x80, 0xFF, 0xF7}),
       bytes({0x04, 0x00, 0x00, 0x80, 0xFF, 0xF7})},
  };
  for (const Case& c : cases) {
    StopsTable t;
    t[c.index] = c.entry;
    // Every byte value survives, in every other entry too.
    for (int b = 0; b < 256; ++b) t[230].push_back(static_cast<char>(b));
    const std::string file = serialised(t);
    EXPECT_EQ(file.substr(0, c.expectedRecordStart.size()), c.expectedRecordStart) << c.what;
    EXPECT_EQ(file.size(), 462 + c.entry.size() + 256) << c.what;
    const DatReadResult back = parseDat(file, "t.dat");
    ASSERT_TRUE(back.ok) << c.what << ": " << back.error;
    EXPECT_EQ(back.table, t) << c.what;
  }
}

TEST(DatFile, ZerosLoadAsEmptyTableAndTailIsIgnored) {
  const DatReadResult empty = parseDat(std::string(462, '\0'), "z.dat");
  ASSERT_TRUE(empty.ok);
  for (const std::string& e : empty.table) EXPECT_TRUE(e.empty());

  StopsTable t;
  t[113] = "kept";
  t[204] = "kept too";
  const DatReadResult tail = parseDat(serialised(t) + "old bytes of a longer table", "t.dat");
  ASSERT_TRUE(tail.ok);
  EXPECT_EQ(tail.table, t);
}

TEST(DatFile, TruncatedFilesFailAsAWholeNamingFileAndRecord) {
  StopsTable t;
  t[5] = "hello";
  const std::string good = serialised(t);
  struct Case {
    const char* what;
    std::string file;
    const char* mentions;
  };
  const Case cases[] = {
      {"empty file", "", "record 0"},
      {"ends before record 231", std::string(460, '\0'), "record 230"},
      {"half a length prefix", std::string(461, '\0'), "record 230"},
      {"length runs past the end", good.substr(0, 10 + 2 + 3), "record 5"},
  };
  for (const Case& c : cases) {
    const DatReadResult r = parseDat(c.file, "/x/broken.dat");
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_NE(r.error.find("/x/broken.dat"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find(c.mentions), std::string::npos) << c.what << ": " << r.error;
  }
}

TEST(DatFile, WriteReplacesTheFileAndKeepsItWhenWritingFails) {
  const std::string dir = std::filesystem::temp_directory_path() / "kalvant-dat-test";
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/t.dat";
  StopsTable t;
  t[0] = "first";
  std::string error;
  ASSERT_TRUE(writeDatFile(path, t, error)) << error;
  ASSERT_TRUE(readDatFile(path).ok);

  StopsTable tooLong = t;
  tooLong[42] = std::string(32767, 'x');  // the longest entry the format holds
  std::string out;
  EXPECT_TRUE(serialiseDat(tooLong, out, error));
  tooLong[42].push_back('x');
  EXPECT_FALSE(writeDatFile(path, tooLong, error));
  EXPECT_NE(error.find("entry 42"), std::string::npos) << error;
  const DatReadResult after = readDatFile(path);
  ASSERT_TRUE(after.ok);
  EXPECT_EQ(after.table, t);
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));

  const DatReadResult missing = readDatFile(dir + "/nothing.dat");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("nothing.dat"), std::string::npos);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kalvant

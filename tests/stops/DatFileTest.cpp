#include "stops/DatFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kalvant {
namespace {

std::string serialised(const StopsTable& t) {
  std::string out, error;
  EXPECT_TRUE(serialiseDat(t, out, error)) << error;
  return out;
}

TEST(DatFile, RecordLayoutRoundTripAndIgnoredTail) {
  const std::pair<std::string, std::string> cases[] = {
      {"abc", std::string("\x03\0abc", 5)},
      {std::string(300, 'x'), "\x2C\x01x"},
      {"", std::string(4, '\0')},  // the next record follows at once
      {std::string("\0\x80\xFF\xF7", 4), std::string("\x04\0\0\x80\xFF\xF7", 6)}};
  for (const auto& [entry, recordStart] : cases) {
    StopsTable t;
    t[0] = entry;
    for (int b = 0; b < 256; ++b) t[230].push_back(static_cast<char>(b));
    const std::string file = serialised(t);
    EXPECT_EQ(file.substr(0, recordStart.size()), recordStart) << entry.size();
    EXPECT_EQ(file.size(), 462 + entry.size() + 256);
    const DatReadResult back = parseDat(file + "old bytes", "t.dat");  // a longer table's tail
    EXPECT_TRUE(back.ok && back.data == t) << back.error;
  }
  const DatReadResult zeros = parseDat(std::string(462, '\0'), "z.dat");
  EXPECT_TRUE(zeros.ok && zeros.data == StopsTable{});
}

TEST(DatFile, TruncatedFilesFailAsAWholeNamingFileAndRecord) {
  StopsTable t;
  t[5] = "hello";
  const std::pair<std::string, const char*> cases[] = {
      {"", "record 0 (offset 0): "},
      {std::string(460, '\0'), "record 230 (offset 460): "},  // ends before record 231
      {std::string(461, '\0'), "record 230 (offset 460): "},  // half a length prefix
      {serialised(t).substr(0, 15), "record 5 (offset 10): "}};
  for (const auto& [file, mentions] : cases) {
    const DatReadResult r = parseDat(file, "/x/broken.dat");
    EXPECT_FALSE(r.ok) << mentions;
    EXPECT_NE(r.error.find(std::string("\"/x/broken.dat\" ") + mentions), std::string::npos)
        << r.error;
  }
}

TEST(DatFile, WriteReplacesTheFileAndKeepsItWhenWritingFails) {
  const std::string dir = std::filesystem::temp_directory_path() / "kalvant-dat-test";
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/t.dat";
  StopsTable t, tooLong;
  t[0] = "first";
  std::string error, out;
  ASSERT_TRUE(writeDatFile(path, t, error)) << error;
  tooLong = t;
  tooLong[42] = std::string(32767, 'x');  // the longest entry the format holds
  EXPECT_TRUE(serialiseDat(tooLong, out, error));
  tooLong[42].push_back('x');
  EXPECT_FALSE(writeDatFile(path, tooLong, error));
  EXPECT_NE(error.find("entry 42"), std::string::npos) << error;
  EXPECT_EQ(readDatFile(path).data, t);
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));
  const DatReadResult missing = readDatFile(dir + "/nothing.dat");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("nothing.dat"), std::string::npos);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kalvant

// kalvant-table against the shipped organ and against copies of it with one
// damaged entry each.

#include "stops/TableTool.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "common/FileIo.h"
#include "stops/DatFile.h"
#include "synth/GsDataSet.h"

namespace kalvant {
namespace {

const std::string kShipped = std::string(KALVANT_PROGRAM_DIR) + "/kalvant.dat";

std::string dataSet(std::uint32_t address, const synth::Bytes& data) {
  const synth::Bytes m = synth::makeDataSet(address, data);
  return std::string(m.begin(), m.end());
}

class TableTool : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/kalvant-table-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    dir_ = dir;
    const DatReadResult r = readDatFile(kShipped);
    ASSERT_TRUE(r.ok) << r.error;
    organ = r.data;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  std::string write(const std::string& name, const std::string& bytes) {
    std::string error;
    EXPECT_TRUE(replaceFileAtomically(path(name), bytes, error)) << error;
    return path(name);
  }
  std::string writeDat(const std::string& name, const StopsTable& t) {
    std::string error;
    EXPECT_TRUE(writeDatFile(path(name), t, error)) << error;
    return path(name);
  }
  static std::string read(const std::string& file) {
    std::string bytes, error;
    EXPECT_TRUE(readWholeFile(file, bytes, error)) << error;
    return bytes;
  }
  int run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    return runTableTool(args, out, err);
  }

  std::string dir_;
  StopsTable organ;
  std::ostringstream out, err;
};

TEST_F(TableTool, ShippedOrganChecksCleanAndListsEveryEntry) {
  EXPECT_EQ(run({"check", kShipped}), kTableDone) << out.str();
  EXPECT_EQ(out.str(), kShipped + ": no fault\n");
  EXPECT_EQ(run({"list", kShipped}), kTableDone);
  const std::string list = out.str();
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 1 + kStopsTableSize);
  EXPECT_NE(list.find("\n   25  Great        532  Full Great\n"), std::string::npos) << list;
  EXPECT_NE(list.find("\n  156  Swell         12  \"Voix C\u00e9leste\", the name of stop 52"),
            std::string::npos);
}

TEST_F(TableTool, CheckNamesEachDamagedEntryAndByte) {
  const std::string reset = organ[entry::kModuleReset];  // 11 bytes
  const std::string reverb = dataSet(synth::gsAddress(0x40, 0x01, 0x30), {3});
  std::string badSum = reverb, badMaker = reverb, badDevice = reverb, badCommand = reverb;
  badSum[9] = 0x0D;
  badMaker[1] = 0x43;
  badDevice[2] = 0x11;
  badCommand[4] = 0x11;
  const struct {
    int entry;
    std::string bytes;
    std::size_t byte;
    const char* reason;
  } cases[] = {
      {100, reset.substr(0, 10), 0, "the message from byte 0 has no F7h at its end"},
      {7, "\x41" + reverb, 0, "41h outside a message"},
      {7, reset + reverb.substr(0, 6) + "\x90" + reverb.substr(7), 17, "90h inside the message"},
      {7, reset + badSum, 20, "checksum 0Dh; address and data make 0Ch"},
      {8, badMaker, 1, "maker 43h, not Roland's 41h"},
      {8, badDevice, 2, "device 11h; the module listens to 10h"},
      {8, badCommand, 4, "command 11h, not a data set (12h)"},
      {8, "\xF0\x41\x10\xF7", 0, "a message of 4 bytes"},
      {8, "\xF0\x41\x10\x42\x12\x40\xF7", 0, "a message of 7 bytes"},
      {12, dataSet(synth::gsAddress(0x40, 0x05, 0x00), {1}), 5, "address 40 05 00 is not in"},
      {101, dataSet(synth::gsAddress(0x40, 0x11, 0x45), synth::Bytes(12, 0x40)), 5,
       "12 data bytes from address 40 11 45 run past 40 11 4B"},
      {0, dataSet(synth::gsAddress(0x10, 0x00, 0x00), {0x41}), 5, "address 10 00 00 is not"},
      {209, "1 Set\x01 Full Organ", 5, "01h is a control character"},
      {125, "Trumpet \x81", 8, "81h is no character of Windows-1252"},
      {125, reset, 2, "10h is a control character"},  // sysex imported into a name
  };
  for (const auto& c : cases) {
    StopsTable t = organ;
    t[c.entry] = c.bytes;
    EXPECT_EQ(run({"check", writeDat("damaged.dat", t)}), kTableFault) << c.reason;
    const std::string expected = "entry " + std::to_string(c.entry) + " (";
    const std::string at = "), byte " + std::to_string(c.byte) + ": " + c.reason;
    EXPECT_EQ(out.str().rfind(expected, 0), 0u) << out.str();
    EXPECT_NE(out.str().find(at), std::string::npos) << out.str();
    EXPECT_NE(out.str().find(": 1 fault\n"), std::string::npos) << out.str();
  }
}

TEST_F(TableTool, ExportThenImportGivesTheSameFileByteForByte) {
  const std::string dat = write("organ.dat", read(kShipped) + "bytes after the table");
  const std::string before = read(dat);
  for (int e : {0, 1, 25, 27, 100, 112, 113}) {
    EXPECT_EQ(run({"export", dat, std::to_string(e), path("e.syx")}), kTableDone) << err.str();
    EXPECT_EQ(read(path("e.syx")), organ[e]);
    EXPECT_EQ(run({"import", dat, "50", path("e.syx")}), kTableDone) << err.str();
    EXPECT_EQ(readDatFile(dat).data[50], organ[e]);
    EXPECT_EQ(run({"export", kShipped, "50", path("50.SYX")}), kTableDone);
    EXPECT_EQ(run({"import", dat, "50", path("50.SYX")}), kTableDone) << err.str();
    EXPECT_EQ(read(dat), before) << e;
  }
  write("text.syx", "no sysex");  // taken as the editor takes it, with a warning
  EXPECT_EQ(run({"import", dat, "9", path("text.syx")}), kTableDone);
  EXPECT_NE(err.str().find("warning: entry 9 ("), std::string::npos) << err.str();
}

TEST_F(TableTool, ImportRefusesWhatTheEditorRefusesAndLeavesTheFile) {
  const std::string dat = write("organ.dat", read(kShipped));
  write("ok.syx", organ[entry::kModuleReset]);
  write("long.syx", std::string(32767, '\x7F'));
  write("ok.txt", organ[entry::kModuleReset]);
  std::filesystem::create_directory(path("folder.syx"));
  const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
      {{"import", dat, "114", path("ok.syx")}, kTableFault, "entries 0..113"},
      {{"import", dat, "5", path("long.syx")}, kTableFault, "32767 bytes"},
      {{"import", dat, "5", path("ok.txt")}, kTableFault, "ends in .syx"},
      {{"import", dat, "5", path("folder.syx")}, kTableFault, "folder"},
      {{"import", dat, "5", path("none.syx")}, kTableFault, "no such file"},
      {{"import", path("none.dat"), "5", path("ok.syx")}, kTableFault, "none.dat"},
      {{"import", dat, "231", path("ok.syx")}, kTableUsage, "0..230"},
      {{"import", dat, "-1", path("ok.syx")}, kTableUsage, "0..230"},
      {{"import", dat, "5"}, kTableUsage, "import takes 3 arguments"},
      {{"merge", dat}, kTableUsage, "unknown command \"merge\""},
  };
  for (const auto& [args, status, says] : cases) {
    EXPECT_EQ(run(args), status) << says;
    EXPECT_NE(err.str().find(says), std::string::npos) << err.str();
    EXPECT_EQ(read(dat), read(kShipped)) << says;
  }
  write("longest.syx", std::string(32766, '\x7F'));
  EXPECT_EQ(run({"import", dat, "113", path("longest.syx")}), kTableDone) << err.str();
}

TEST_F(TableTool, DiffListsTheEntriesThatDiffer) {
  EXPECT_EQ(run({"diff", kShipped, kShipped}), kTableDone);
  EXPECT_EQ(out.str(), "no entry differs\n");
  StopsTable t = organ;
  t[25][100] ^= 1;
  t[125] = "Tromba 8'";
  EXPECT_EQ(run({"diff", kShipped, writeDat("b.dat", t)}), kTableFault);
  EXPECT_EQ(out.str(),
            "entry 25 (Great, Full Great): 532 / 532 bytes, first difference at byte 100\n"
            "entry 125 (Great, \"Trumpet 8'\", the name of stop 21): \"Trumpet 8'\" / "
            "\"Tromba 8'\"\n"
            "2 entries differ\n");
}

}  // namespace
}  // namespace kalvant

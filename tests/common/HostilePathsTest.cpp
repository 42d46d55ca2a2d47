// Paths a user or an accident puts where a file or folder is expected. No
// reader may throw or wait on a FIFO, every refusal names the path and says
// why, and an atomic write never follows a planted link nor undoes one the
// user made.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>

#include "common/FileIo.h"
#include "console/CfgFormat.h"
#include "registration/MemoryFileFormat.h"
#include "stops/DatFile.h"
#include "support/ConsoleFixture.h"
#include "synth/SmfReader.h"
#include "synth/SynthSettings.h"

namespace kalvant {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  TempDir() {
    char pattern[] = "/tmp/kalvant-hostile-XXXXXX";
    path = ::mkdtemp(pattern);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

void put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isLink(const std::string& path) {
  return fs::is_symlink(fs::symlink_status(path));
}

// A file of "old" with the given mode bits; returns its path.
std::string fileWithMode(const TempDir& d, const std::string& name, mode_t mode) {
  put(d / name, "old");
  ::chmod((d / name).c_str(), mode);
  return d / name;
}

// A folder with the given mode bits; returns its path.
std::string folderWithMode(const TempDir& d, mode_t mode) {
  fs::create_directory(d / "data");
  ::chmod((d / "data").c_str(), mode);
  return d / "data";
}

mode_t modeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// What stands where the file `name` in `dir` should be; returns its path.
enum class Kind { Folder, Fifo, LinkLoop, ThroughAFile };
struct Hostile {
  const char* name;
  Kind kind;
  const char* says;
};
const Hostile kHostiles[] = {{"Folder", Kind::Folder, "a folder, not a file"},
                             {"Fifo", Kind::Fifo, "named pipe"},
                             {"LinkLoop", Kind::LinkLoop, "loop of symbolic links"},
                             {"ThroughAFile", Kind::ThroughAFile, "not a folder"}};

// Every table row prints as its name.
template <class Row>
auto operator<<(std::ostream& os, const Row& row) -> decltype(row.name, os) {
  return os << row.name;
}

std::string plant(Kind kind, const std::string& dir, const std::string& name) {
  const std::string path = dir + "/" + name;
  switch (kind) {
    case Kind::Folder:
      fs::create_directory(path);
      break;
    case Kind::Fifo:
      ::mkfifo(path.c_str(), 0600);
      break;
    case Kind::LinkLoop:
      fs::create_symlink(name + ".other", path);
      fs::create_symlink(name, path + ".other");
      break;
    case Kind::ThroughAFile:
      put(dir + "/plain", "a file, not a folder");
      return dir + "/plain/" + name;
  }
  return path;
}

// Runs `read` on another thread: one stuck on a FIFO fails the test and is
// then released by opening the FIFO's other end. An exception fails it too.
template <class Read>
auto unblocked(Read read, const std::string& path) -> decltype(read()) {
  auto result = std::async(std::launch::async, read);
  if (result.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
    ADD_FAILURE() << "blocked on " << path;
    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
  }
  try {
    return result.get();
  } catch (const std::exception& e) {
    ADD_FAILURE() << "threw: " << e.what();
    return {};
  }
}

// Each reader of the program's files, as a function from the path to the
// error it gives ("" when it read the file).
struct Reader {
  const char* name;
  const char* file;
  std::function<std::string(const std::string&)> read;
};
const Reader kReaders[] = {
    {"Dat", "kalvant.dat", [](const std::string& p) { return readDatFile(p).error; }},
    {"Cfg", "KALVANT.CFG", [](const std::string& p) { return readCfgFile(p).error; }},
    {"MemoryFile", "fixed.fix", [](const std::string& p) { return readMemoryFile(p).error; }},
    {"Smf", "song.mid", [](const std::string& p) { return synth::readSmfFile(p).error; }},
    {"SynthSettings", synth::kSynthSettingsFile,
     [](const std::string& p) {
       std::string error;
       synth::loadSynthSettings(fs::path(p).parent_path().string(), &error);
       return error;
     }},
};

class HostilePathsRead : public ::testing::TestWithParam<std::tuple<Hostile, Reader>> {};

TEST_P(HostilePathsRead, RefusesNamingThePathAndWhy) {
  const auto& [hostile, reader] = GetParam();
  TempDir dir;
  const std::string path = plant(hostile.kind, dir.path, reader.file);
  const std::string error = unblocked([&] { return reader.read(path); }, path);
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_NE(error.find(hostile.says), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(, HostilePathsRead,
                         ::testing::Combine(::testing::ValuesIn(kHostiles),
                                            ::testing::ValuesIn(kReaders)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

// The console's own readers, at start-up and for the stops table that CFG
// line 2 names: each carries on with what it has.
struct ConsoleReader {
  const char* name;
  const char* file;
  std::function<void(test::ConsoleTest&, const std::string& path)> run;
};
const ConsoleReader kConsoleReaders[] = {
    {"FixedMemories", "fixed.fix",
     [](test::ConsoleTest& t, const std::string& path) {
       t.k->READ_FILE_AVVIO();
       bool named = false;
       for (const std::string& m : t.user.messages) named |= m.find(path) != std::string::npos;
       EXPECT_TRUE(named) << ::testing::PrintToString(t.user.messages);
     }},
    {"Configuration", "KALVANT.CFG",
     [](test::ConsoleTest& t, const std::string&) {
       t.k->READ_FILE_AVVIO();
       EXPECT_EQ(t.k->s.settings.DatFilePath, t.path("kalvant.dat"));
     }},
    {"StopsTable", "organ.dat",
     [](test::ConsoleTest& t, const std::string& path) {
       t.writeTable("kalvant.dat", test::taggedTable());
       t.k->s.settings.DatFilePath = path;
       t.k->CARICAMENTO_DAT();
       EXPECT_EQ(t.k->stopsTable.table(), test::taggedTable());
     }},
};

class HostilePathsConsole
    : public test::ConsoleTest,
      public ::testing::WithParamInterface<std::tuple<Hostile, ConsoleReader>> {};

TEST_P(HostilePathsConsole, CarriesOnWithoutThrowingOrWaiting) {
  const auto& [hostile, reader] = GetParam();
  const std::string path = plant(hostile.kind, dir, reader.file);
  unblocked(
      [&] {
        reader.run(*this, path);
        return std::string();
      },
      path);
}

INSTANTIATE_TEST_SUITE_P(, HostilePathsConsole,
                         ::testing::Combine(::testing::ValuesIn(kHostiles, kHostiles + 3),
                                            ::testing::ValuesIn(kConsoleReaders)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

// Atomic writes of "new" over what a case sets up in a folder.
struct WriteCase {
  const char* name;
  std::function<std::string(const TempDir&)> setUp;  // gives the path to write
  const char* refusal;                               // "" when the write succeeds
  std::function<void(const TempDir&)> check;
};
const WriteCase kWrites[] = {
    {"PlantedLinkAtTheOldTemporaryName",
     [](const TempDir& d) {
       put(d / "victim", "precious");
       fs::create_symlink(d / "victim", d / "KALVANT.CFG.new");
       return d / "KALVANT.CFG";
     },
     "",
     [](const TempDir& d) {
       EXPECT_EQ(contents(d / "victim"), "precious");
       EXPECT_FALSE(isLink(d / "KALVANT.CFG"));
       EXPECT_EQ(contents(d / "KALVANT.CFG"), "new");
     }},
    {"LinkedTargetStaysALink",
     [](const TempDir& d) {
       fs::create_directory(d / "store");
       put(d / "store/real.cfg", "old");
       fs::create_symlink("store/real.cfg", d / "KALVANT.CFG");
       return d / "KALVANT.CFG";
     },
     "",
     [](const TempDir& d) {
       EXPECT_TRUE(isLink(d / "KALVANT.CFG"));
       EXPECT_EQ(contents(d / "store/real.cfg"), "new");
     }},
    {"ChainOfLinks",
     [](const TempDir& d) {
       put(d / "real.dat", "old");
       fs::create_symlink("real.dat", d / "middle");
       fs::create_symlink(d / "middle", d / "kalvant.dat");
       return d / "kalvant.dat";
     },
     "",
     [](const TempDir& d) {
       EXPECT_TRUE(isLink(d / "kalvant.dat") && isLink(d / "middle"));
       EXPECT_EQ(contents(d / "real.dat"), "new");
     }},
    {"DanglingLinkCreatesTheFileItNames",
     [](const TempDir& d) {
       fs::create_symlink("made.fix", d / "fixed.fix");
       return d / "fixed.fix";
     },
     "",
     [](const TempDir& d) {
       EXPECT_TRUE(isLink(d / "fixed.fix"));
       EXPECT_EQ(contents(d / "made.fix"), "new");
       EXPECT_EQ(modeOf(d / "made.fix"), 0644u);
     }},
    {"KeepsTheMode", [](const TempDir& d) { return fileWithMode(d, "KALVANT.CFG", 0640); }, "",
     [](const TempDir& d) { EXPECT_EQ(modeOf(d / "KALVANT.CFG"), 0640u); }},
    // By the mode bits, so that root is refused too.
    {"ReadOnlyTarget", [](const TempDir& d) { return fileWithMode(d, "KALVANT.CFG", 0444); },
     "it is read-only", [](const TempDir& d) { EXPECT_EQ(contents(d / "KALVANT.CFG"), "old"); }},
};

// No temporary file stays behind, whatever happened.
void expectNoTemporaryLeft(const TempDir& dir) {
  for (const auto& entry : fs::recursive_directory_iterator(dir.path))
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

class HostilePathsWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(HostilePathsWrite, KeepsWhatTheUserSetUp) {
  const WriteCase& c = GetParam();
  TempDir dir;
  const std::string path = c.setUp(dir);
  std::string error;
  const bool ok = unblocked([&] { return replaceFileAtomically(path, "new", error); }, path);
  EXPECT_EQ(ok, *c.refusal == '\0') << error;
  if (!ok) {
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
  }
  c.check(dir);
  expectNoTemporaryLeft(dir);
}

INSTANTIATE_TEST_SUITE_P(, HostilePathsWrite, ::testing::ValuesIn(kWrites),
                         [](const auto& info) { return std::string(info.param.name); });

// What stands where the file should be is refused and stays as it was.
class HostilePathsWriteTarget : public ::testing::TestWithParam<Hostile> {};

TEST_P(HostilePathsWriteTarget, IsRefusedAndLeftAlone) {
  TempDir dir;
  const std::string path = plant(GetParam().kind, dir.path, "x.dat");
  const fs::file_type before = fs::symlink_status(path).type();
  std::string error;
  EXPECT_FALSE(unblocked([&] { return replaceFileAtomically(path, "new", error); }, path));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
  EXPECT_EQ(fs::symlink_status(path).type(), before);
  expectNoTemporaryLeft(dir);
}

INSTANTIATE_TEST_SUITE_P(, HostilePathsWriteTarget, ::testing::ValuesIn(kHostiles),
                         [](const auto& info) { return std::string(info.param.name); });

// The program directory checked at start-up.
struct FolderCase {
  const char* name;
  std::function<std::string(const TempDir&)> setUp;  // gives the folder
  const char* problem;                               // "" when usable
  bool permissions = false;  // root may enter and write anything: skipped for root
};
const FolderCase kFolders[] = {
    {"Usable", [](const TempDir& d) { return d.path; }, ""},
    {"LinkToAFolder",
     [](const TempDir& d) {
       fs::create_symlink(d.path, d / "link");
       return d / "link";
     },
     ""},
    {"Missing", [](const TempDir& d) { return d / "gone"; }, "it does not exist"},
    {"AFile", [](const TempDir& d) { return fileWithMode(d, "file", 0644); },
     "it is a file, not a folder"},
    {"AFifo", [](const TempDir& d) { return plant(Kind::Fifo, d.path, "data"); }, "named pipe"},
    {"LinkLoop", [](const TempDir& d) { return plant(Kind::LinkLoop, d.path, "data"); },
     "loop of symbolic links"},
    {"ThroughAFile", [](const TempDir& d) { return plant(Kind::ThroughAFile, d.path, "data"); },
     "not a folder"},
    {"NotSearchable", [](const TempDir& d) { return folderWithMode(d, 0600); }, "cannot be entered",
     true},
    {"NotWritable", [](const TempDir& d) { return folderWithMode(d, 0500); }, "not writable", true},
};

class HostilePathsDataFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(HostilePathsDataFolder, SaysWhyItCannotBeUsed) {
  const FolderCase& c = GetParam();
  if (c.permissions && ::geteuid() == 0) GTEST_SKIP() << "root passes every permission check";
  TempDir dir;
  const std::string problem = dataFolderProblem(c.setUp(dir));
  if (*c.problem == '\0') {
    EXPECT_EQ(problem, "");
  } else {
    EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
  }
}

INSTANTIATE_TEST_SUITE_P(, HostilePathsDataFolder, ::testing::ValuesIn(kFolders),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kalvant

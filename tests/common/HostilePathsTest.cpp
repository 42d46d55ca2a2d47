// Paths a user or an accident puts where a file or folder is expected. No
// reader may throw or wait on a FIFO, every refusal names the path and says
// why, and an atomic write never follows a planted link nor undoes one the
// user made.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <sstream>

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

// Fills a folder from words: "name=contents" a file, "name/" a folder,
// "name>to" a link (to "/to" inside the folder).
void build(const std::string& dir, const std::string& spec) {
  std::istringstream words(spec);
  for (std::string w; words >> w;) {
    const std::size_t at = w.find_first_of("=>/");
    const std::string name = dir + "/" + w.substr(0, at), rest = w.substr(at + 1);
    if (w[at] == '=') put(name, rest);
    if (w[at] == '/') fs::create_directory(name);
    if (w[at] == '>') fs::create_symlink(rest[0] == '/' ? dir + rest : rest, name);
  }
}

mode_t modeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// What stands where the file `name` in `dir` should be; plant() returns its path.
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

std::string plant(Kind kind, const std::string& dir, const std::string& name) {
  if (kind == Kind::Fifo) ::mkfifo((dir + "/" + name).c_str(), 0600);
  if (kind == Kind::Folder) build(dir, name + "/");
  if (kind == Kind::LinkLoop) build(dir, name + ">" + name + ".other " + name + ".other>" + name);
  if (kind == Kind::ThroughAFile) build(dir, "plain=text");
  return dir + (kind == Kind::ThroughAFile ? "/plain/" : "/") + name;
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

// Every row, or pair of rows, is named by its name.
const auto rowName = [](const auto& info) { return std::string(info.param.name); };
const auto pairName = [](const auto& info) {
  return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
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
                         pairName);

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
                         pairName);

// Atomic writes of "new" to `target` (its mode set to `mode` when not 0) in
// a folder built from `before`. Afterwards `after` holds: "name=contents"
// files that are no links, "name>" links; `modeAfter` (when not 0) is the
// target's.
struct WriteCase {
  const char *name, *target;
  mode_t mode, modeAfter;
  const char *refusal, *before, *after;  // refusal "" when the write succeeds
};
const WriteCase kWrites[] = {
    {"PlantedLinkAtTheOldTemporaryName", "KALVANT.CFG", 0, 0, "",
     "victim=precious KALVANT.CFG.new>/victim", "victim=precious KALVANT.CFG=new"},
    {"LinkedTargetStaysALink", "KALVANT.CFG", 0, 0, "", "real.cfg=old KALVANT.CFG>real.cfg",
     "real.cfg=new KALVANT.CFG>"},
    {"ChainOfLinks", "kalvant.dat", 0, 0, "", "real.dat=old middle>real.dat kalvant.dat>/middle",
     "real.dat=new middle> kalvant.dat>"},
    {"DanglingLinkCreatesTheFileItNames", "fixed.fix", 0, 0644, "", "fixed.fix>made.fix",
     "made.fix=new fixed.fix>"},
    {"KeepsTheMode", "KALVANT.CFG", 0640, 0640, "", "KALVANT.CFG=old", "KALVANT.CFG=new"},
    // By the mode bits, so that root is refused too.
    {"ReadOnlyTarget", "KALVANT.CFG", 0444, 0444, "it is read-only", "KALVANT.CFG=old",
     "KALVANT.CFG=old"},
};

void expectNoTemporaryLeft(const TempDir& dir) {
  for (const auto& entry : fs::recursive_directory_iterator(dir.path))
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

class HostilePathsWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(HostilePathsWrite, KeepsWhatTheUserSetUp) {
  const WriteCase& c = GetParam();
  TempDir dir;
  build(dir.path, c.before);
  const std::string path = dir / c.target;
  if (c.mode) ::chmod(path.c_str(), c.mode);
  std::string error;
  const bool ok = unblocked([&] { return replaceFileAtomically(path, "new", error); }, path);
  EXPECT_EQ(ok, *c.refusal == '\0') << error;
  EXPECT_NE(error.find(ok ? "" : path), std::string::npos) << error;
  EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
  std::istringstream after(c.after);
  for (std::string w; after >> w;) {
    const std::size_t at = w.find_first_of("=>");
    EXPECT_EQ(isLink(dir / w.substr(0, at)), w[at] == '>') << w;
    if (w[at] == '=') {
      EXPECT_EQ(contents(dir / w.substr(0, at)), w.substr(at + 1)) << w;
    }
  }
  EXPECT_EQ(c.modeAfter ? modeOf(path) : 0, c.modeAfter);
  expectNoTemporaryLeft(dir);
}

INSTANTIATE_TEST_SUITE_P(, HostilePathsWrite, ::testing::ValuesIn(kWrites), rowName);

// What stands where the file should be is refused and stays as it was; where
// the program folder should be, it is named as the problem.
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
  const std::string problem = dataFolderProblem(path);
  EXPECT_EQ(problem.find(GetParam().says) != std::string::npos, GetParam().kind != Kind::Folder)
      << problem;
}

INSTANTIATE_TEST_SUITE_P(, HostilePathsWriteTarget, ::testing::ValuesIn(kHostiles), rowName);

// The program directory checked at start-up: `path` in a folder holding
// `before`, with `mode` (when not 0) on it. Root may enter and write anything:
// the cases of permissions (a mode) are skipped for root.
struct FolderCase {
  const char *name, *before, *path;
  mode_t mode;
  const char* problem;  // "" when usable
};
const FolderCase kFolders[] = {
    {"Usable", "", "", 0, ""},
    {"LinkToAFolder", "link>/", "link", 0, ""},
    {"Missing", "", "gone", 0, "it does not exist"},
    {"AFile", "file=old", "file", 0, "it is a file, not a folder"},
    {"NotSearchable", "data/", "data", 0600, "cannot be entered"},
    {"NotWritable", "data/", "data", 0500, "not writable"},
};

class HostilePathsDataFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(HostilePathsDataFolder, SaysWhyItCannotBeUsed) {
  const FolderCase& c = GetParam();
  if (c.mode && ::geteuid() == 0) GTEST_SKIP() << "root passes every permission check";
  TempDir dir;
  build(dir.path, c.before);
  const std::string path = dir / c.path;
  if (c.mode) ::chmod(path.c_str(), c.mode);
  const std::string problem = dataFolderProblem(path);
  EXPECT_EQ(problem.empty(), *c.problem == '\0') << problem;
  EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
}

INSTANTIATE_TEST_SUITE_P(, HostilePathsDataFolder, ::testing::ValuesIn(kFolders), rowName);

}  // namespace
}  // namespace kalvant

// Paths a user or an accident puts where a file or folder is expected.

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
  std::string path = [] {
    char pattern[] = "/tmp/kalvant-hostile-XXXXXX";
    return std::string(::mkdtemp(pattern));
  }();
  ~TempDir() { fs::remove_all(path); }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// Fills a folder from words: "name=contents" a file, "name/" a folder,
// "name>to" a link (to "/to" inside the folder).
void build(const std::string& dir, const std::string& layout) {
  std::istringstream words(layout);
  for (std::string w; words >> w;) {
    const std::size_t at = w.find_first_of("=>/");
    const std::string name = dir + "/" + w.substr(0, at), rest = w.substr(at + 1);
    if (w[at] == '=') std::ofstream(name, std::ios::binary) << rest;
    if (w[at] == '/') fs::create_directory(name);
    if (w[at] == '>') fs::create_symlink(rest[0] == '/' ? dir + rest : rest, name);
  }
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

// Runs `read` on another thread: stuck on a FIFO or throwing fails the test.
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

// Each reader of the program's files, from the path to its error ("" when read).
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
    {"SynthSettings", synth::kSynthSettingsFile, [](const std::string& p) {
       std::string error;
       synth::loadSynthSettings(fs::path(p).parent_path().string(), &error);
       return error;
     }}};
bool names(const std::string& error, const std::string& path, const char* why) {
  return error.find(path) != std::string::npos && error.find(why) != std::string::npos;
}
void expectNoTemporaryLeft(const TempDir& dir) {
  for (const auto& entry : fs::recursive_directory_iterator(dir.path))
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

TEST(HostilePaths, ReadersRefuseNamingThePathAndWhy) {
  for (const Hostile& hostile : kHostiles)
    for (const Reader& reader : kReaders) {
      TempDir dir;
      const std::string path = plant(hostile.kind, dir.path, reader.file);
      const std::string error = unblocked([&] { return reader.read(path); }, path);
      EXPECT_TRUE(names(error, path, hostile.says)) << reader.name << ": " << error;
    }
}

TEST(HostilePaths, WritesAreRefusedAndTheTargetLeftAlone) {
  for (const Hostile& hostile : kHostiles) {
    TempDir dir;
    const std::string path = plant(hostile.kind, dir.path, "x.dat");
    const fs::file_type before = fs::symlink_status(path).type();
    std::string error;
    EXPECT_FALSE(unblocked([&] { return replaceFileAtomically(path, "new", error); }, path));
    EXPECT_TRUE(names(error, path, hostile.says)) << error;
    EXPECT_EQ(fs::symlink_status(path).type(), before);
    expectNoTemporaryLeft(dir);
    const std::string problem = dataFolderProblem(path);
    EXPECT_EQ(problem.find(hostile.says) != std::string::npos, hostile.kind != Kind::Folder)
        << problem;
  }
}

// The console's own readers, at start-up and for the stops table CFG line 2 names.
class HostilePathsConsole : public test::ConsoleTest,
                            public ::testing::WithParamInterface<std::tuple<Hostile, const char*>> {
};

TEST_P(HostilePathsConsole, CarriesOnWithoutThrowingOrWaiting) {
  const auto& [hostile, file] = GetParam();
  const std::string where = plant(hostile.kind, dir, file), name = file;
  if (name == "organ.dat") writeTable("kalvant.dat", test::taggedTable());
  if (name == "organ.dat") k->s.settings.DatFilePath = where;
  unblocked([&] { return name == "organ.dat" ? k->CARICAMENTO_DAT() : k->READ_FILE_AVVIO(), 0; },
            where);
  std::string shown;
  for (const std::string& m : user.messages) shown += m + "\n";
  EXPECT_TRUE(name != "fixed.fix" || shown.find(where) != std::string::npos) << shown;
  EXPECT_TRUE(name != "KALVANT.CFG" || k->s.settings.DatFilePath == path("kalvant.dat"));
  EXPECT_TRUE(name != "organ.dat" || k->stopsTable.table() == test::taggedTable());
}

INSTANTIATE_TEST_SUITE_P(, HostilePathsConsole,
                         ::testing::Combine(::testing::ValuesIn(kHostiles, kHostiles + 3),
                                            ::testing::Values("fixed.fix", "KALVANT.CFG",
                                                              "organ.dat")),
                         [](const auto& info) {
                           std::string n = std::string(std::get<0>(info.param).name) + "_" +
                                           std::get<1>(info.param);
                           std::erase_if(n, [](char c) { return c == '.'; });
                           return n;
                         });

// Writes "new" to `target` (mode `mode` when not 0) in a folder built from `before`;
// `after` holds "name=contents" files that are no links, "name>" links.
TEST(HostilePaths, AtomicWritesKeepWhatTheUserSetUp) {
  const std::tuple<const char*, mode_t, mode_t, const char*, const char*, const char*> rows[] = {
      // target, mode, mode after (when not 0), refusal ("" for success), before, after
      {"KALVANT.CFG", 0, 0, "", "victim=precious KALVANT.CFG.new>/victim",
       "victim=precious KALVANT.CFG=new"},
      {"KALVANT.CFG", 0, 0, "", "real.cfg=old KALVANT.CFG>real.cfg", "real.cfg=new KALVANT.CFG>"},
      {"kalvant.dat", 0, 0, "", "real.dat=old middle>real.dat kalvant.dat>/middle",
       "real.dat=new middle> kalvant.dat>"},
      {"fixed.fix", 0, 0644, "", "fixed.fix>made.fix", "made.fix=new fixed.fix>"},
      {"KALVANT.CFG", 0640, 0640, "", "KALVANT.CFG=old", "KALVANT.CFG=new"},
      {"KALVANT.CFG", 0444, 0444, "it is read-only", "KALVANT.CFG=old", "KALVANT.CFG=old"}};
  for (const auto& [target, mode, modeAfter, refusal, before, after] : rows) {
    SCOPED_TRACE(before);
    TempDir dir;
    build(dir.path, before);
    const std::string path = dir / target;
    if (mode) ::chmod(path.c_str(), mode);
    std::string error;
    const bool ok = unblocked([&] { return replaceFileAtomically(path, "new", error); }, path);
    EXPECT_EQ(ok, !*refusal) << error;
    EXPECT_TRUE(names(error, ok ? "" : path, refusal)) << error;
    std::istringstream words(after);
    for (std::string w; words >> w;) {
      const std::string name = dir / w.substr(0, w.find_first_of("=>"));
      EXPECT_EQ(fs::is_symlink(fs::symlink_status(name)), w.back() == '>') << w;
      if (w.back() == '>') continue;
      std::ifstream in(name, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), w.substr(w.find('=') + 1));
    }
    EXPECT_EQ(modeAfter ? static_cast<mode_t>(fs::status(path).permissions()) : 0, modeAfter);
    expectNoTemporaryLeft(dir);
  }
}

// The program directory at start-up: `path` in a folder holding `before`, `mode` on it.
TEST(HostilePaths, DataFolderSaysWhyItCannotBeUsed) {
  const std::tuple<const char*, const char*, mode_t, const char*> rows[] = {
      {"", "", 0, ""},
      {"link>/", "link", 0, ""},
      {"", "gone", 0, "it does not exist"},
      {"file=old", "file", 0, "it is a file, not a folder"},
      {"data/", "data", 0600, "cannot be entered"},
      {"data/", "data", 0500, "not writable"}};
  for (const auto& [before, name, mode, why] : rows) {
    if (mode && ::geteuid() == 0) continue;  // root passes every permission check
    TempDir dir;
    build(dir.path, before);
    if (mode) ::chmod((dir / name).c_str(), mode);
    const std::string problem = dataFolderProblem(dir / name);
    EXPECT_EQ(problem.empty(), !*why) << problem;
    EXPECT_NE(problem.find(why), std::string::npos) << problem;
  }
}

}  // namespace
}  // namespace kalvant

// The data-folder rules, played as two starts of kalvant on a scratch tree
// holding a build tree, an installation and a user's home.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/DataFolder.h"

namespace kalvant::app {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

void write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

struct Scratch {
  fs::path root = [] {
    char pattern[] = "/tmp/kalvant-datafolder-XXXXXX";
    return fs::path(::mkdtemp(pattern));
  }();
  Scratch() {
    write(root / "build/bin/kalvant.dat", "build organ");
    write(root / "build/share/kalvant/kalvant.dat", "stray organ");
    write(root / "usr/share/kalvant/kalvant.dat", "shared organ");
    write(root / "usr/share/kalvant/fixed.fix", "shared fixed");
    fs::create_directories(root / "usr/bin");
    fs::create_directories(root / "home");
    write(root / "file", "");
  }
  ~Scratch() { fs::remove_all(root); }
  // "" stays empty; "/abs" stays absolute (a path outside the scratch
  // tree); anything else is inside it.
  std::string at(const std::string& p) const {
    return p.empty() || p[0] == '/' || p[0] == '.' ? p : (root / p).string();
  }
};

struct Start {
  const char* what;
  const char* exeDir;
  const char* dataDirOption;
  const char* xdgDataHome;
  const char* home;
  const char* data;       // expected
  const char* resources;  // expected
  bool seeds;             // the default organ is copied into the data folder
  const char* error;      // a part of the expected error; "" = none
};

const Start kStarts[] = {
    {"a build tree uses its program directory", "build/bin", "", "xdg", "home", "build/bin",
     "build/bin", false, ""},
    {"a build tree ignores a share folder beside it", "build/bin", "", "", "home", "build/bin",
     "build/bin", false, ""},
    {"installed: the first start seeds $XDG_DATA_HOME/kalvant", "usr/bin", "", "xdg", "home",
     "xdg/kalvant", "usr/share/kalvant", true, ""},
    {"installed, XDG_DATA_HOME unset", "usr/bin", "", "", "home", "home/.local/share/kalvant",
     "usr/share/kalvant", true, ""},
    {"installed, a relative XDG_DATA_HOME is ignored", "usr/bin", "", "./rel", "home",
     "home/.local/share/kalvant", "usr/share/kalvant", true, ""},
    {"installed, trailing slashes", "usr/bin/", "", "xdg/", "home", "xdg/kalvant",
     "usr/share/kalvant", true, ""},
    {"--data-dir wins over an installation", "usr/bin", "mine/", "xdg", "home", "mine", "mine",
     false, ""},
    {"--data-dir wins over a build tree", "build/bin", "mine", "xdg", "home", "mine", "mine", false,
     ""},
    {"installed without any home", "usr/bin", "", "", "", "", "usr/share/kalvant", true, "HOME"},
    {"a data folder that cannot be made", "usr/bin", "", "file", "home", "file/kalvant",
     "usr/share/kalvant", true, "file/kalvant\": a part of the path is not a folder"},
};

class DataFolderRules : public ::testing::TestWithParam<Start> {};

TEST_P(DataFolderRules, TwoStarts) {
  const Start& c = GetParam();
  SCOPED_TRACE(c.what);
  const Scratch t;
  const DataFolderInput in{t.at(c.exeDir), t.at(c.dataDirOption), t.at(c.xdgDataHome),
                           t.at(c.home)};
  auto start = [&] {  // as main() does it
    DataFolders f = chooseDataFolders(in);
    if (f.error.empty() && !f.seedFrom.empty()) f.error = seedDataFolder(f.seedFrom, f.data);
    return f;
  };

  const DataFolders first = start();
  EXPECT_EQ(fs::path(first.data), fs::path(t.at(c.data)));
  EXPECT_EQ(fs::path(first.resources), fs::path(t.at(c.resources)));
  EXPECT_EQ(!first.seedFrom.empty(), c.seeds);
  if (*c.error) {
    EXPECT_NE(first.error.find(c.error), std::string::npos) << first.error;
    return;
  }
  ASSERT_EQ(first.error, "");
  const fs::path data(first.data);
  if (!c.seeds) {
    EXPECT_FALSE(fs::exists(data / "fixed.fix"));
    return;
  }
  EXPECT_EQ(contents(data / "kalvant.dat"), "shared organ");
  EXPECT_EQ(contents(data / "fixed.fix"), "shared fixed");
  EXPECT_EQ(fs::status(data).permissions() & fs::perms::all, fs::perms::owner_all);

  // The user edits the organ and loses fixed.fix: the second start brings
  // fixed.fix back and leaves the edited organ and any other file alone.
  write(data / "kalvant.dat", "my organ");
  write(data / "KALVANT.CFG", "my settings");
  fs::remove(data / "fixed.fix");
  ASSERT_EQ(start().error, "");
  EXPECT_EQ(contents(data / "kalvant.dat"), "my organ");
  EXPECT_EQ(contents(data / "KALVANT.CFG"), "my settings");
  EXPECT_EQ(contents(data / "fixed.fix"), "shared fixed");
  EXPECT_EQ(std::distance(fs::directory_iterator(data), {}), 3);  // no leftovers
}

INSTANTIATE_TEST_SUITE_P(Starts, DataFolderRules, ::testing::ValuesIn(kStarts));

}  // namespace
}  // namespace kalvant::app

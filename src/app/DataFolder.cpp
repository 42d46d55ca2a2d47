#include "app/DataFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/FileIo.h"

namespace kalvant::app {

namespace fs = std::filesystem;

namespace {

bool isFolder(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

bool present(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

// $XDG_DATA_HOME when it is an absolute path (a relative one is to be
// ignored), else ~/.local/share.
std::string userDataHome(const DataFolderInput& in) {
  if (fs::path(in.xdgDataHome).is_absolute()) return in.xdgDataHome;
  if (fs::path(in.home).is_absolute()) return (fs::path(in.home) / ".local" / "share").string();
  return {};
}

std::string withoutTrailingSlash(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

// Each missing folder on the way is made with mode 0700.
std::string makeFolders(const fs::path& dir) {
  fs::path partial;
  for (const fs::path& part : dir) {
    partial /= part;
    if (::mkdir(partial.c_str(), 0700) == 0 || errno == EEXIST) continue;
    return "cannot create \"" + partial.string() + "\": " + describe(errno);
  }
  return {};
}

// Writes the bytes to a temporary file beside the target and links it in
// under its name: link() never replaces an existing file.
std::string copyIfMissing(const fs::path& source, const fs::path& target) {
  if (present(target)) return {};
  std::string bytes, error;
  if (!readWholeFile(source.string(), bytes, error)) return error;
  std::string temp = target.string() + ".seed-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0)
    return "cannot write into \"" + target.parent_path().string() + "\": " + describe(errno);
  bool ok = ::fchmod(fd, 0644) == 0 && writeAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  int saved = errno;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::link(temp.c_str(), target.c_str()) != 0 && errno != EEXIST) {
    ok = false;
    saved = errno;
  }
  ::unlink(temp.c_str());
  if (!ok) return "cannot write \"" + target.string() + "\": " + describe(saved);
  return {};
}

fs::path sharedFolder(const std::string& exeDir) {
  return (fs::path(withoutTrailingSlash(exeDir)).parent_path() / "share" / "kalvant")
      .lexically_normal();
}

}  // namespace

bool isInstalled(const std::string& exeDir) {
  return !exeDir.empty() && !present(fs::path(exeDir) / "kalvant.dat") &&
         isFolder(sharedFolder(exeDir));
}

std::string resourceFolder(const std::string& exeDir) {
  return isInstalled(exeDir) ? sharedFolder(exeDir).string() : withoutTrailingSlash(exeDir);
}

DataFolders chooseDataFolders(const DataFolderInput& in) {
  DataFolders f;
  if (!in.dataDirOption.empty()) {
    f.data = f.resources = withoutTrailingSlash(in.dataDirOption);
  } else if (!isInstalled(in.exeDir)) {
    f.data = f.resources = resourceFolder(in.exeDir);
  } else {
    f.resources = f.seedFrom = resourceFolder(in.exeDir);
    const std::string base = userDataHome(in);
    if (base.empty())
      f.error = "neither XDG_DATA_HOME nor HOME names an absolute folder";
    else
      f.data = withoutTrailingSlash((fs::path(base) / "kalvant").string());
  }
  return f;
}

std::string seedDataFolder(const std::string& from, const std::string& to) {
  if (to.empty()) return "no data folder is named";
  if (std::string error = makeFolders(to); !error.empty()) return error;
  for (const char* name : kSeededFiles) {
    if (std::string error = copyIfMissing(fs::path(from) / name, fs::path(to) / name);
        !error.empty())
      return error;
  }
  return {};
}

}  // namespace kalvant::app

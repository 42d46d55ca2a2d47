#include "common/FileIo.h"

#include "common/ReadResult.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace kalvant {

std::string describe(int err) {
  switch (err) {
    case ENOENT:
      return "there is no such file or folder";
    case ENOTDIR:
      return "a part of the path is not a folder";
    case ELOOP:
      return "the path runs in a loop of symbolic links";
    case EACCES:
    case EPERM:
      return "permission denied";
    case EROFS:
      return "the file system is read-only";
    case EISDIR:
      return "it is a folder, not a file";
    case ENOSPC:
      return "the disk is full";
    default:
      return std::strerror(err);
  }
}

namespace {

constexpr int kMaxLinks = 40;  // as many as the kernel follows in one path
constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kMaxReserve = 16 * 1024 * 1024;  // a bigger file grows as it is read
constexpr mode_t kNewFileMode = 0644;

// What a path is when it is not a regular file.
std::string kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "a special file";
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joined(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

bool readLink(const std::string& link, std::string& target) {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) < buffer.size()) {
      target.assign(buffer, 0, static_cast<std::size_t>(n));
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The file a write to some path really lands in.
struct Target {
  std::string path;     // after every symbolic link
  bool exists = false;  // false: a new file, or one a dangling link names
  struct stat st {};
};

// Follows the chain of symbolic links from path; sets why on failure.
bool findTarget(const std::string& path, Target& t, std::string& why) {
  auto fail = [&why](int err) {
    why = describe(err);
    return false;
  };
  t.path = path;
  for (int hop = 0; hop <= kMaxLinks; ++hop) {
    if (::lstat(t.path.c_str(), &t.st) != 0) {
      if (errno != ENOENT) return fail(errno);
      t.exists = false;
      return true;
    }
    if (!S_ISLNK(t.st.st_mode)) {
      t.exists = true;
      return true;
    }
    std::string next;
    if (!readLink(t.path, next)) return fail(errno);
    t.path = !next.empty() && next[0] == '/' ? next : joined(folderOf(t.path), next);
  }
  return fail(ELOOP);
}

// Why an existing target must not be replaced, or "".
std::string refusal(const Target& t) {
  if (!t.exists) return {};
  if (!S_ISREG(t.st.st_mode)) return "it is " + kindOf(t.st.st_mode) + ", not a file";
  // The mode bits decide for root too, for whom access() allows everything:
  // a file nobody may write is one the user made read-only on purpose.
  if ((t.st.st_mode & 0222) == 0) return "it is read-only";
  if (::faccessat(AT_FDCWD, t.path.c_str(), W_OK, AT_EACCESS) != 0)
    return errno == EROFS ? describe(EROFS) : "it is read-only";
  return {};
}

// The replacement keeps the old file's owner when the user may give it
// away (root may; others keep their own, as any editor's save does).
bool keepOwnerAndMode(int fd, const Target& t) {
  if (!t.exists) return ::fchmod(fd, kNewFileMode) == 0;
  if (::fchown(fd, t.st.st_uid, t.st.st_gid) != 0 && errno != EPERM) return false;
  return ::fchmod(fd, t.st.st_mode & 07777) == 0;
}

// Best effort: the rename has happened, so a failure here changes nothing
// the caller could act on.
void syncFolder(const std::string& folder) {
  const Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;  // nothing written and no reason given
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool hasExtension(const std::string& path, const std::string& extension) {
  if (path.size() < extension.size()) return false;
  const std::size_t from = path.size() - extension.size();
  for (std::size_t i = 0; i < extension.size(); ++i) {
    const auto a = static_cast<unsigned char>(path[from + i]);
    const auto b = static_cast<unsigned char>(extension[i]);
    if (std::tolower(a) != std::tolower(b)) return false;
  }
  return true;
}

std::string fileNameOf(const std::string& path) {
  const std::size_t p = path.find_last_of("\\/");
  return p == std::string::npos ? path : path.substr(p + 1);
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  bytes.clear();
  auto fail = [&](const std::string& why) {
    error = "cannot read " + quotedPath(path) + ": " + why;
    return false;
  };
  // Non-blocking, so that opening a FIFO does not wait for a writer; the
  // fstat below then refuses it without reading.
  const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) return fail(describe(errno));
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return fail(describe(errno));
  if (!S_ISREG(st.st_mode)) return fail("it is " + kindOf(st.st_mode) + ", not a file");
  bytes.reserve(std::min(static_cast<std::size_t>(st.st_size), kMaxReserve));
  for (;;) {
    const std::size_t had = bytes.size();
    bytes.resize(had + kChunk);
    const ssize_t n = ::read(fd.get(), bytes.data() + had, kChunk);
    bytes.resize(had + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    if (n == 0) return true;
    if (n < 0 && errno != EINTR) return fail(describe(errno));
  }
}

bool nothingAt(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) != 0 && errno == ENOENT;
}

bool replaceFileAtomically(const std::string& path, const std::string& bytes, std::string& error) {
  Target t;
  std::string why;
  if (!findTarget(path, t, why)) {
    error = "cannot write " + quotedPath(path) + ": " + why;
    return false;
  }
  const std::string name =
      quotedPath(path) + (t.path == path ? "" : " (a link to " + quotedPath(t.path) + ")");
  why = refusal(t);
  if (!why.empty()) {
    error = "cannot write " + name + ": " + why;
    return false;
  }
  // A fresh name, created exclusively: whatever lies around in the folder
  // (an old temporary file, a planted link) is never opened.
  const std::string folder = folderOf(t.path);
  std::string temp = joined(folder, "." + nameOf(t.path) + ".XXXXXX");
  Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) {
    error = "cannot write " + name + ": cannot create a file in the folder " + quotedPath(folder) +
            ": " + describe(errno);
    return false;
  }
  const bool written = writeAll(fd.get(), bytes.data(), bytes.size()) &&
                       keepOwnerAndMode(fd.get(), t) && ::fsync(fd.get()) == 0 &&
                       ::close(fd.release()) == 0 && std::rename(temp.c_str(), t.path.c_str()) == 0;
  if (!written) {
    error = "cannot write " + name + ": " + describe(errno);
    ::unlink(temp.c_str());
    return false;
  }
  syncFolder(folder);
  return true;
}

std::string dataFolderProblem(const std::string& dir) {
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0) {
    if (errno == ENOENT) return "it does not exist";
    if (errno == EACCES) return "a folder on the way to it cannot be entered";
    return describe(errno);
  }
  if (S_ISREG(st.st_mode)) return "it is a file, not a folder";
  if (!S_ISDIR(st.st_mode)) return "it is " + kindOf(st.st_mode) + ", not a folder";
  if (::faccessat(AT_FDCWD, dir.c_str(), X_OK, AT_EACCESS) != 0)
    return "it cannot be entered (no search permission)";
  if (::faccessat(AT_FDCWD, dir.c_str(), W_OK, AT_EACCESS) != 0)
    return errno == EROFS ? describe(EROFS) : "it is not writable";
  return {};
}

}  // namespace kalvant

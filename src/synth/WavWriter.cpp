#include "synth/WavWriter.h"

#include "common/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace kalvant::synth {

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

void putLittle(std::vector<char>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putText(std::vector<char>& out, const char* text) {
  out.insert(out.end(), text, text + std::strlen(text));
}

std::vector<char> header(int sampleRate, std::uint64_t frames) {
  const auto dataBytes = static_cast<std::uint32_t>(frames * 4);
  const auto rate = static_cast<std::uint32_t>(sampleRate);
  std::vector<char> h;
  putText(h, "RIFF");
  putLittle(h, 36 + dataBytes, 4);
  putText(h, "WAVEfmt ");
  putLittle(h, 16, 4);
  putLittle(h, 1, 2);  // PCM
  putLittle(h, 2, 2);  // stereo
  putLittle(h, rate, 4);
  putLittle(h, rate * 4, 4);
  putLittle(h, 4, 2);
  putLittle(h, 16, 2);
  putText(h, "data");
  putLittle(h, dataBytes, 4);
  return h;
}

}  // namespace

WavWriter::~WavWriter() {
  discard();
}

bool WavWriter::fail(const std::string& why) {
  error_ = "cannot write " + path_ + ": " + why;
  discard();
  return false;
}

bool WavWriter::failErrno() {
  return fail(std::strerror(errno));
}

void WavWriter::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool WavWriter::open(const std::string& path, int sampleRate) {
  discard();
  path_ = path;
  sampleRate_ = sampleRate;
  frames_ = 0;
  peak_ = 0;
  error_.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    return fail(S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file");
  // The process id keeps two renderers of the same target apart.
  const std::string temp = path + "." + std::to_string(::getpid()) + ".part";
  fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd_ < 0) return failErrno();
  temp_ = temp;
  buffer_ = header(sampleRate, 0);  // the sizes are filled in by finish()
  return true;
}

bool WavWriter::write(const float* left, const float* right, std::size_t frames) {
  if (fd_ < 0) return false;
  if (frames > kMaxWavFrames - frames_) return fail("too long for a WAV file");
  for (std::size_t i = 0; i < frames; ++i) {
    for (float v : {left[i], right[i]}) {
      peak_ = std::max(peak_, std::fabs(v));
      const auto s = static_cast<std::uint16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767));
      buffer_.push_back(static_cast<char>(s & 0xFF));
      buffer_.push_back(static_cast<char>(s >> 8));
    }
  }
  frames_ += frames;
  return buffer_.size() < kBufferBytes || flushBuffer();
}

bool WavWriter::writeAll(const char* data, std::size_t size) {
  return kalvant::writeAll(fd_, data, size) || failErrno();
}

bool WavWriter::flushBuffer() {
  if (!writeAll(buffer_.data(), buffer_.size())) return false;
  buffer_.clear();
  return true;
}

bool WavWriter::finish() {
  if (fd_ < 0 || !flushBuffer()) return false;
  const std::vector<char> h = header(sampleRate_, frames_);
  if (::lseek(fd_, 0, SEEK_SET) != 0) return failErrno();
  if (!writeAll(h.data(), h.size())) return false;
  if (::fsync(fd_) != 0) return failErrno();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return failErrno();
  if (::rename(temp_.c_str(), path_.c_str()) != 0) return failErrno();
  temp_.clear();
  return true;
}

}  // namespace kalvant::synth

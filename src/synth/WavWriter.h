#pragma once
// A 16-bit stereo PCM WAV file, written block by block so that its length
// does not depend on memory.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kalvant::synth {

// The most frames whose sizes still fit the header's 32-bit fields.
inline constexpr std::uint64_t kMaxWavFrames = (0xFFFFFFFFull - 36) / 4;

// The samples go to a temporary file next to the target; finish() fills in
// the header's sizes, flushes the file to disk and renames it over the
// target. The target stays untouched until then, and a writer that fails or
// is dropped removes its temporary file. Targets that are not regular files
// (folders, devices, pipes) are refused.
class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  bool open(const std::string& path, int sampleRate);
  // Samples are clamped to [-1, 1].
  bool write(const float* left, const float* right, std::size_t frames);
  bool finish();

  // Why the last call failed, naming the target file.
  const std::string& error() const { return error_; }
  std::uint64_t frames() const { return frames_; }
  float peak() const { return peak_; }

 private:
  bool fail(const std::string& why);
  bool failErrno();
  bool writeAll(const char* data, std::size_t size);
  bool flushBuffer();
  void discard();

  std::string path_;
  std::string temp_;  // "" once renamed or removed
  int fd_ = -1;
  int sampleRate_ = 0;
  std::uint64_t frames_ = 0;
  float peak_ = 0;
  std::vector<char> buffer_;
  std::string error_;
};

}  // namespace kalvant::synth

#pragma once
// The real kalvant program, run offscreen in a program directory of its
// own: its files are written before the start, the process is watched from
// outside (/proc), and it is ended as a desktop session ends it.

#include <sys/types.h>

#include <chrono>
#include <string>

#include "console/CfgFormat.h"
#include "stops/StopsTable.h"

namespace kalvant::e2e {

// The path of the kalvant executable this harness was built with.
std::string kalvantBinary();

// A fresh directory under /tmp, removed by the destructor.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Settings of a console that opens the given device positions, plays
// without note delay and saves its configuration on exit. Every port is
// given a device: "No device" is a position that depends on what else the
// JACK server holds.
CfgData cfgFor(const std::string& dir, int in1, int in2, int out);

// Writes "KALVANT.CFG" and the stops table into dir; returns an error text
// or an empty string.
std::string writeProgramFiles(const std::string& dir, const CfgData& cfg, const StopsTable& table);

class KalvantProcess {
 public:
  KalvantProcess() = default;
  ~KalvantProcess();  // kills a process still running
  KalvantProcess(const KalvantProcess&) = delete;
  KalvantProcess& operator=(const KalvantProcess&) = delete;

  // Starts kalvant on JACK (or the given --midi-api) with --data-dir dir;
  // its output goes to dir/kalvant.log. Returns false when it could not be
  // started.
  bool start(const std::string& dir, const std::string& midiApi = "jack");
  pid_t pid() const { return pid_; }
  bool running() const { return pid_ > 0; }
  std::chrono::steady_clock::time_point startedAt() const { return startedAt_; }

  // SIGTERM: the normal shutdown.
  void terminate();
  // Waits for the end; true with its exit code in `code` when it exited by
  // itself (a signal gives code 128 + signal).
  bool waitExit(std::chrono::milliseconds timeout, int& code);
  void kill();
  std::string log() const;

 private:
  pid_t pid_ = -1;
  std::string dir_;
  std::chrono::steady_clock::time_point startedAt_;
};

// CPU time (user + system) the process has used, in seconds, and its
// memory in KiB: a field of /proc/PID/status ("VmRSS", "RssAnon", ...)
// and the resident total; -1 when /proc does not answer.
double cpuSeconds(pid_t pid);
long statusKiB(pid_t pid, const std::string& field);
long residentKiB(pid_t pid);

}  // namespace kalvant::e2e

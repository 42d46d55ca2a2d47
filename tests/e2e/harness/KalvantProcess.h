#pragma once
// The real kalvant program, run offscreen in a program directory of its own,
// watched from outside (/proc) and ended as a desktop session ends it.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "console/CfgFormat.h"
#include "stops/StopsTable.h"

namespace kalvant::e2e {

std::string readText(const std::string& path);

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

// Opens the given device positions ("No device" depends on what else the
// server holds), no note delay, saves its configuration on exit.
CfgData cfgFor(const std::string& dir, int in1, int in2, int out);
// Writes KALVANT.CFG and the stops table into dir; returns an error text or "".
std::string writeProgramFiles(const std::string& dir, const CfgData& cfg, const StopsTable& table);

class KalvantProcess {
 public:
  KalvantProcess() = default;
  ~KalvantProcess() { kill(); }
  KalvantProcess(const KalvantProcess&) = delete;
  KalvantProcess& operator=(const KalvantProcess&) = delete;
  // --data-dir dir, output to dir/kalvant.log; false when it could not be started.
  // `more` follows the other arguments.
  bool start(const std::string& dir, const std::string& midiApi = "jack",
             const std::vector<std::string>& more = {});
  pid_t pid() const { return pid_; }
  bool running() const { return pid_ > 0; }
  std::chrono::steady_clock::time_point startedAt() const { return startedAt_; }
  void terminate();
  // True with the exit code when it ended in time (a signal gives 128 + signal).
  bool waitExit(std::chrono::milliseconds timeout, int& code);
  void kill();
  std::string log() const { return readText(dir_ + "/kalvant.log"); }

 private:
  pid_t pid_ = -1;
  std::string dir_;
  std::chrono::steady_clock::time_point startedAt_;
};

// CPU seconds (user + system); a /proc/PID/status field ("VmRSS", ...) and
// the resident total in KiB; -1 when /proc does not answer.
double cpuSeconds(pid_t pid);
long statusKiB(pid_t pid, const std::string& field);
long residentKiB(pid_t pid);

}  // namespace kalvant::e2e

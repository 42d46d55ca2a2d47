#pragma once
// The bare forwarding client in a process of its own
// (kalvant_bench_forwarder), so that its CPU time and memory can be read
// from /proc next to kalvant's.

#include <sys/types.h>

#include <string>

namespace kalvant::bench {

class ForwarderProcess {
 public:
  ForwarderProcess() = default;
  ~ForwarderProcess() { stop(); }
  ForwarderProcess(const ForwarderProcess&) = delete;
  ForwarderProcess& operator=(const ForwarderProcess&) = delete;

  // Starts it as JACK client `name`; returns once its ports are open, false
  // when they did not open.
  bool start(const std::string& name);
  // SIGTERM, SIGKILL when it has not ended 5 s later.
  void stop();
  pid_t pid() const { return pid_; }
  std::string inPort() const { return name_ + ":in"; }
  std::string outPort() const { return name_ + ":out"; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace kalvant::bench

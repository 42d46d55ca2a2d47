#pragma once
// A JACK server of the test's own, started and stopped at will, for tests
// that stop the server under open ports. JACK_DEFAULT_SERVER names it while
// it lives; without a test server (outside scripts/test) nothing starts.
// Needs KALVANT_SCRIPTS_DIR.

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace kalvant::test {

class OwnJackServer {
 public:
  explicit OwnJackServer(const std::string& prefix)
      : shared_(std::getenv("JACK_DEFAULT_SERVER") ? std::getenv("JACK_DEFAULT_SERVER") : ""),
        name_(prefix + "-" + std::to_string(::getpid())) {
    if (shared_.empty()) return;
    started_ = start();
    setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
  }
  ~OwnJackServer() {
    if (shared_.empty()) return;
    stop();  // leaves no files behind in /dev/shm
    setenv("JACK_DEFAULT_SERVER", shared_.c_str(), 1);
  }
  OwnJackServer(const OwnJackServer&) = delete;
  OwnJackServer& operator=(const OwnJackServer&) = delete;

  bool usable() const { return started_; }
  bool start() { return run("start"); }
  bool stop() { return run("stop"); }

 private:
  bool run(const std::string& command) const {
    return std::system((KALVANT_SCRIPTS_DIR "/jack-server " + command + " " + name_).c_str()) == 0;
  }
  std::string shared_, name_;
  bool started_ = false;
};

}  // namespace kalvant::test

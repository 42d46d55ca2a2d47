#include "ForwarderProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace kalvant::bench {

namespace {

constexpr int kReadyTimeoutMs = 10000;
constexpr int kEndTimeoutMs = 5000;

// The program writes '1' to the pipe once its ports are open, '0' when
// they did not open; an early end closes the pipe without a word.
bool readyWithin(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) != 1) return false;
  char answer = 0;
  return ::read(fd, &answer, 1) == 1 && answer == '1';
}

bool endsWithin(pid_t pid, int timeoutMs) {
  const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  if (fd < 0) return false;
  pollfd p{fd, POLLIN, 0};
  const bool ended = ::poll(&p, 1, timeoutMs) == 1;
  ::close(fd);
  return ended;
}

}  // namespace

bool ForwarderProcess::start(const std::string& name) {
  stop();
  name_ = name;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  // Built before the fork: JACK's threads run here, the child only execs.
  std::vector<std::string> args{KALVANT_BENCH_FORWARDER, name, std::to_string(fds[1])};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::fcntl(fds[1], F_SETFD, 0);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  const bool ready = pid_ > 0 && readyWithin(fds[0], kReadyTimeoutMs);
  ::close(fds[0]);
  if (!ready) stop();
  return ready;
}

void ForwarderProcess::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  if (!endsWithin(pid_, kEndTimeoutMs)) ::kill(pid_, SIGKILL);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
}

}  // namespace kalvant::bench

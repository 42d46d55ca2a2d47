// The bare forwarding client as a program of its own, started by
// kalvant_jack_bench: its process holds nothing but the JACK client, and
// its main thread sleeps until SIGTERM or SIGINT.
//   kalvant_bench_forwarder CLIENT-NAME READY-FD

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "Forwarder.h"

namespace {

// Blocked before JACK starts its threads, so that they inherit the mask
// and only sigwait on the main thread takes the signal.
sigset_t endSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  return set;
}

void tell(int fd, bool ready) {
  const char answer = ready ? '1' : '0';
  if (::write(fd, &answer, 1) != 1) std::perror("kalvant_bench_forwarder");
  ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CLIENT-NAME READY-FD\n", argv[0]);
    return 2;
  }
  const sigset_t set = endSignals();
  kalvant::bench::Forwarder forwarder(argv[1]);
  tell(std::atoi(argv[2]), forwarder.ok());
  if (!forwarder.ok()) return 1;
  int signal = 0;
  sigwait(&set, &signal);
  return 0;
}

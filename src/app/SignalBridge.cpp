#include "app/SignalBridge.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <iterator>

namespace kalvant::app {

namespace {
int g_fds[2] = {-1, -1};

// Every signal that asks the console to end: Ctrl+C, a session or service
// manager ending it, the terminal closed, Ctrl+\. Each one takes the normal
// shutdown, so the module is reset and KALVANT.CFG is written.
constexpr int kCloseSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction g_before[std::size(kCloseSignals)];

void onSignal(int) {
  const int savedErrno = errno;
  const char byte = 1;
  // Only async-signal-safe work here: one byte into the socket. The socket
  // does not block: when it is full, a close request is pending anyway.
  [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &byte, 1);
  errno = savedErrno;
}
}  // namespace

SignalBridge::SignalBridge(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_fds) != 0) return;
  auto* notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    char buffer[16];
    [[maybe_unused]] const ssize_t n = ::read(g_fds[1], buffer, sizeof buffer);
    if (onSignal_) onSignal_();
  });
  struct sigaction sa {};
  sa.sa_handler = &kalvant::app::onSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kCloseSignals); ++i) {
    ::sigaction(kCloseSignals[i], nullptr, &g_before[i]);
    // A signal ignored when the console starts (nohup, a background job of a
    // shell) stays ignored, as its starter asked.
    if (g_before[i].sa_handler != SIG_IGN) ::sigaction(kCloseSignals[i], &sa, nullptr);
  }
}

SignalBridge::~SignalBridge() {
  for (std::size_t i = 0; i < std::size(kCloseSignals); ++i)
    ::sigaction(kCloseSignals[i], &g_before[i], nullptr);
  ::close(g_fds[0]);
  ::close(g_fds[1]);
}

}  // namespace kalvant::app

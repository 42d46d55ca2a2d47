#include "app/SignalBridge.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>

namespace kalvant::app {

namespace {
int g_fds[2] = {-1, -1};

void onSignal(int) {
  const char byte = 1;
  // Only async-signal-safe work here: one byte into the socket.
  [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &byte, 1);
}
}  // namespace

SignalBridge::SignalBridge(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0) return;
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
  ::sigaction(SIGINT, &sa, nullptr);
  ::sigaction(SIGTERM, &sa, nullptr);
}

SignalBridge::~SignalBridge() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  ::close(g_fds[0]);
  ::close(g_fds[1]);
}

}  // namespace kalvant::app

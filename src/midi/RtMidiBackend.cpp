#include "midi/RtMidiBackend.h"

#include <jack/jack.h>
#include <unistd.h>

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "midi/JackClient.h"

namespace kalvant::midi {

bool jackServerRunning() {
  quietJack();
  jack_status_t status{};
  jack_client_t* client = jack_client_open("kalvant-probe", JackNoStartServer, &status);
  if (!client) return false;
  jack_client_close(client);
  return true;
}

namespace {

// Counts the JACK server's process cycles. A new connection carries events
// only once the server's graph has run with it, and an output's events leave
// in the cycle after they were sent: after opening an output and before
// closing it the console waits for two cycles, or the module's reset is lost.
// It also hears the server stop, which RtMidi keeps to itself.
class JackCycles {
 public:
  static JackCycles& instance() {
    static JackCycles cycles;
    return cycles;
  }
  // Returns after two cycles have run, or after 200 ms without a server.
  void waitTwo() {
    if (client_) waitFor(count_.load() + 2, std::chrono::milliseconds(200));
  }
  // False when no server answered: there is no clock to go by.
  bool running() const { return client_ != nullptr; }
  bool serverGone() const { return serverGone_; }
  unsigned long count() const { return count_; }
  // Sleeps until the count reaches `target`; false after `limit` without
  // it, or at once when the server is gone.
  bool waitFor(unsigned long target, std::chrono::milliseconds limit) {
    for (auto ms = std::chrono::milliseconds(0); count_.load() < target; ++ms) {
      if (serverGone_ || ms >= limit) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }
  // One watcher at a time (the output port); nullptr ends the watch. The
  // watcher runs on a JACK thread and may only post.
  void watchServer(std::function<void()> onServerGone) {
    std::lock_guard lock(mutex_);
    onServerGone_ = std::move(onServerGone);
  }

 private:
  JackCycles() {
    quietJack();
    jack_status_t status{};
    client_ = jack_client_open("kalvant-clock", JackNoStartServer, &status);
    if (!client_) return;
    jack_set_process_callback(client_, &JackCycles::process, this);
    jack_on_shutdown(client_, &JackCycles::shutdown, this);
    if (jack_activate(client_) != 0) {
      jack_client_close(client_);
      client_ = nullptr;
    }
  }
  ~JackCycles() {
    if (client_) jack_client_close(client_);
  }
  static int process(jack_nframes_t, void* self) {
    ++static_cast<JackCycles*>(self)->count_;
    return 0;
  }
  static void shutdown(void* self) {
    auto* cycles = static_cast<JackCycles*>(self);
    cycles->serverGone_ = true;
    std::lock_guard lock(cycles->mutex_);
    if (cycles->onServerGone_) cycles->onServerGone_();
  }

 private:
  jack_client_t* client_ = nullptr;
  std::atomic<unsigned long> count_{0};
  std::atomic<bool> serverGone_{false};
  std::mutex mutex_;
  std::function<void()> onServerGone_;
};

RtMidi::Api toRtApi(Api api) {
  return api == Api::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

// State and guards shared by the RtMidi input and output: every RtMidi call
// goes through guarded(), which turns a throw or an error callback into the
// port's Error event and a false result.
template <class Base, class Rt>
class RtPort : public Base {
 public:
  RtPort(Api api, const Post& post, int clientIndex) : Base(post), jack_(api == Api::Jack) {
    if (api == Api::None) return;
    quietJack();
    try {
      rt_ = std::make_unique<Rt>(toRtApi(api), kClientNames[clientIndex]);
      rt_->setErrorCallback(&RtPort::onRtError, this);
    } catch (const RtMidiError& e) {
      rt_.reset();
      this->reportError(kDriverError, e.getMessage());
    }
  }

  int deviceCount() override { return static_cast<int>(visiblePorts().size()); }

  std::string deviceName() override {
    const std::vector<unsigned> ports = visiblePorts();
    const int i = this->selected_;
    if (i < 0 || static_cast<std::size_t>(i) >= ports.size()) return {};
    std::string name;
    guarded([&] { name = rt_->getPortName(ports[static_cast<std::size_t>(i)]); });
    return name;
  }

 protected:
  // RtMidi's JACK clients die with the server; nothing is asked of them
  // afterwards (some of their calls would wait for a cycle that never comes).
  bool serverGone() const { return jack_ && JackCycles::instance().serverGone(); }

  template <class F>
  bool guarded(F&& call) {
    if (!rt_ || serverGone()) return false;
    failed_ = false;
    try {
      call();
    } catch (const RtMidiError& e) {
      this->reportError(kDriverError, e.getMessage());
      return false;
    } catch (const std::exception& e) {
      this->reportError(kDriverError, e.what());
      return false;
    }
    return !failed_;
  }

  // Maps the selected device index to RtMidi's port number, or fails.
  bool selectedPort(unsigned& port, const char* kind) {
    const std::vector<unsigned> ports = visiblePorts();
    const int i = this->selected_;
    if (i < 0 || static_cast<std::size_t>(i) >= ports.size()) {
      this->reportError(kNoSuchDevice, std::string("MIDI ") + kind + " device " +
                                           std::to_string(i) + " is not present");
      return false;
    }
    port = ports[static_cast<std::size_t>(i)];
    return true;
  }

  std::unique_ptr<Rt> rt_;
  const bool jack_;

 private:
  std::vector<unsigned> visiblePorts() {
    std::vector<unsigned> ports;
    guarded([&] {
      const unsigned n = rt_->getPortCount();
      for (unsigned p = 0; p < n; ++p) {
        if (!isOwnPort(rt_->getPortName(p))) ports.push_back(p);
      }
    });
    return ports;
  }

  static void onRtError(RtMidiError::Type type, const std::string& text, void* self) {
    auto* port = static_cast<RtPort*>(self);
    const bool warning = type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING;
    if (!warning) port->failed_ = true;
    port->reportError(warning ? kWarning : kDriverError, text);
  }

  std::atomic<bool> failed_{false};
};

// An input on the ALSA sequencer, whose events are single messages already
// framed by ALSA. (On JACK, RtMidi's input keeps a sysex without its F7
// open across events and swallows everything after it: JACK inputs are
// JackInput's.)
class RtInput : public RtPort<MidiInput, RtMidiIn> {
 public:
  RtInput(Api api, const Post& post, int clientIndex) : RtPort(api, post, clientIndex) {
    guarded([&] {
      rt_->setCallback(&RtInput::onRtMessage, this);
      // Keep timing messages (they reach the console as any other), let
      // ALSA drop sysex; active sensing goes through the console's own filter.
      rt_->ignoreTypes(true, false, false);
    });
  }

  ~RtInput() override {
    if (rt_) {
      close();
      guarded([&] { rt_->cancelCallback(); });
    }
  }

  bool open() override {
    unsigned port = 0;
    if (open_ || !selectedPort(port, "input")) return false;
    open_ = guarded([&] { rt_->openPort(port, "midi_in"); });
    return open_;
  }

  bool start() override {
    started_ = open_;
    return open_;
  }

  void close() override {
    started_ = false;
    if (open_) guarded([&] { rt_->closePort(); });
    open_ = false;
    clearQueue();
  }

 private:
  static void onRtMessage(double, std::vector<unsigned char>* message, void* self) {
    auto* input = static_cast<RtInput*>(self);
    if (input->started_ && message) input->enqueueFromDriver(message->data(), message->size());
  }
};

class RtOutput : public RtPort<MidiOutput, RtMidiOut> {
 public:
  RtOutput(Api api, const Post& post, int clientIndex) : RtPort(api, post, clientIndex) {}

  ~RtOutput() override {
    if (watching_) JackCycles::instance().watchServer(nullptr);
    if (!rt_) return;
    if (serverGone()) {
      // Destroyed now, RtMidi's JACK output would wait a second for a
      // process cycle that never comes; it is kept for the rest of the
      // process instead.
      static auto* kept = new std::vector<std::unique_ptr<RtMidiOut>>;
      kept->push_back(std::move(rt_));
      return;
    }
    const bool wasOpened = everOpened_;
    close();
    // RtMidi's JACK output frees its ring buffer before closing its client;
    // give the JACK thread time to leave the process callback first.
    if (wasOpened) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }

  bool open() override {
    unsigned port = 0;
    if (open_ || !selectedPort(port, "output")) return false;
    open_ = guarded([&] { rt_->openPort(port, "midi_out"); });
    everOpened_ = everOpened_ || open_;
    if (open_ && jack_) {
      watchServer();
      JackCycles::instance().waitTwo();
    }
    return open_;
  }

  bool start() override { return open_; }

  void close() override {
    // What was just sent (shutdown's reset) leaves in the next cycle; closing
    // the port before it would drop it.
    if (open_ && jack_) JackCycles::instance().waitTwo();
    if (open_) guarded([&] { rt_->closePort(); });
    open_ = false;
    inRing_.clear();
    ringBytes_ = 0;
  }

 protected:
  void sendMessage(const std::uint8_t* data, std::size_t size) override {
    if (jack_ && !roomInRing(size)) return;
    guarded([&] { rt_->sendMessage(data, size); });
  }

 private:
  // RtMidi's JACK output hands each message (with a 4-byte length) to JACK's
  // thread through a ring buffer of 16,383 usable bytes, which every process
  // cycle empties, and spins without end while the ring lacks room. So the
  // output keeps its own account: what was written before the last two
  // cycles has left. It sleeps for room only while cycles still run; a
  // server that has stopped, or stands still for 200 ms, gets nothing (the
  // message is dropped) until it runs again.
  static constexpr std::size_t kRingBytes = 16383;

  bool roomInRing(std::size_t size) {
    JackCycles& clock = JackCycles::instance();
    if (!clock.running()) return true;
    const std::size_t need = size + sizeof(int);
    for (;;) {
      const unsigned long now = clock.count();
      while (!inRing_.empty() && inRing_.front().cycle + 2 <= now) {
        ringBytes_ -= inRing_.front().bytes;
        inRing_.pop_front();
      }
      if (ringBytes_ + need <= kRingBytes) {
        inRing_.push_back({now, need});
        ringBytes_ += need;
        stalledAt_.reset();
        return true;
      }
      if (stalledAt_ == now) return false;
      if (!clock.waitFor(now + 1, std::chrono::milliseconds(200))) {
        stalledAt_ = now;
        return false;
      }
    }
  }

  // RtMidi's JACK clients die with the server and cannot be opened again.
  void watchServer() {
    if (watching_) return;
    watching_ = true;
    JackCycles::instance().watchServer([this] {
      this->reportError(kDriverError,
                        "The JACK server has stopped: kalvant can no longer play or hear MIDI. "
                        "Start JACK again, then restart kalvant.");
    });
  }

  struct Written {
    unsigned long cycle;
    std::size_t bytes;
  };
  std::deque<Written> inRing_;
  std::size_t ringBytes_ = 0;
  std::optional<unsigned long> stalledAt_;
  bool everOpened_ = false;
  bool watching_ = false;
};

}  // namespace

std::optional<Api> parseApi(std::string_view name) {
  if (name == "alsa") return Api::Alsa;
  if (name == "jack") return Api::Jack;
  if (name == "none") return Api::None;
  return std::nullopt;
}

std::string_view apiName(Api api) {
  switch (api) {
    case Api::Alsa:
      return "alsa";
    case Api::Jack:
      return "jack";
    case Api::None:
      break;
  }
  return "none";
}

Api detectApi() {
  if (::access("/dev/snd/seq", R_OK | W_OK) == 0) return Api::Alsa;
  if (jackServerRunning()) return Api::Jack;
  return Api::None;
}

Api chooseApi(std::optional<Api> requested) {
  if (!requested) return detectApi();
  // Constructing a JACK client with no server running prints noise and gives
  // empty lists: treat it as no MIDI at all.
  if (*requested == Api::Jack && !jackServerRunning()) return Api::None;
  if (*requested == Api::Alsa && ::access("/dev/snd/seq", R_OK | W_OK) != 0) return Api::None;
  return *requested;
}

PortSet createRtMidiPorts(Api api, const Post& post) {
  PortSet ports;
  if (api == Api::Jack) {
    ports.input1 = createJackInput(post, 0);
    ports.input2 = createJackInput(post, 1);
  } else {
    ports.input1 = std::make_unique<RtInput>(api, post, 0);
    ports.input2 = std::make_unique<RtInput>(api, post, 1);
  }
  ports.output = std::make_unique<RtOutput>(api, post, 2);
  return ports;
}

}  // namespace kalvant::midi

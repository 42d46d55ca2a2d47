#include "midi/RtMidiBackend.h"

#include <jack/jack.h>
#include <unistd.h>

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
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

// State and guards shared by the RtMidi input and output on the ALSA
// sequencer: every RtMidi call goes through guarded(), which turns a throw or
// an error callback into the port's Error event and a false result. Each is
// an ALSA client named "kalvant" with one port (in1, in2 or out).
template <class Base, class Rt>
class RtPort : public Base {
 public:
  RtPort(Api api, const Post& post, int portIndex) : Base(post), portName_(kPortNames[portIndex]) {
    if (api == Api::None) return;
    try {
      rt_ = std::make_unique<Rt>(RtMidi::LINUX_ALSA, kClientName);
      rt_->setErrorCallback(&RtPort::onRtError, this);
    } catch (const RtMidiError& e) {
      rt_.reset();
      this->reportError(kDriverError, e.getMessage());
    }
  }

  int deviceCount() override { return static_cast<int>(visiblePorts().size()); }

  std::vector<std::string> devices() override {
    std::vector<std::string> names;
    for (unsigned port : visiblePorts()) {
      guarded([&] { names.push_back(stableAlsaName(rt_->getPortName(port))); });
    }
    return names;
  }

  // Without the client and port numbers RtMidi appends: those change from
  // one session to the next.
  std::string deviceName() override {
    const std::vector<unsigned> ports = visiblePorts();
    const int i = this->selected_;
    if (i < 0 || static_cast<std::size_t>(i) >= ports.size()) return {};
    std::string name;
    guarded([&] { name = rt_->getPortName(ports[static_cast<std::size_t>(i)]); });
    return stableAlsaName(name);
  }

 protected:
  template <class F>
  bool guarded(F&& call) {
    if (!rt_) return false;
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

  // Opens the selected device on this port, or fails.
  bool openSelected(const char* kind) {
    const std::vector<unsigned> ports = visiblePorts();
    const int i = this->selected_;
    if (i < 0 || static_cast<std::size_t>(i) >= ports.size()) {
      this->reportError(kNoSuchDevice, std::string("MIDI ") + kind + " device " +
                                           std::to_string(i) + " is not present");
      return false;
    }
    return guarded([&] { rt_->openPort(ports[static_cast<std::size_t>(i)], portName_); });
  }

  std::unique_ptr<Rt> rt_;

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

  const std::string portName_;
  std::atomic<bool> failed_{false};
};

// An input on the ALSA sequencer, whose events are single messages already
// framed by ALSA. It has no cycle of its own (cycleOut() is null): every
// message goes to the GUI thread, and RtMidi's callback thread, which is not
// real-time, posts the delivery itself.
class RtInput : public RtPort<MidiInput, RtMidiIn> {
 public:
  RtInput(Api api, const Post& post, int portIndex) : RtPort(api, post, portIndex) {
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
    if (open_) return false;
    open_ = openSelected("input");
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

// The ALSA sequencer queues what it is given and sends it at once. The gap
// is kept by sleeping what is left of it since the last message, at most
// kLongestGap: a message after a quiet spell never waits.
class RtOutput : public RtPort<MidiOutput, RtMidiOut> {
 public:
  RtOutput(Api api, const Post& post) : RtPort(api, post, 2) {}
  ~RtOutput() override { close(); }

  bool open() override {
    if (open_) return false;
    open_ = openSelected("output");
    return open_;
  }

  bool start() override { return open_; }

  void close() override {
    if (open_) guarded([&] { rt_->closePort(); });
    open_ = false;
  }

 protected:
  void sendMessage(const std::uint8_t* data, std::size_t size) override {
    keepGap();
    guarded([&] { rt_->sendMessage(data, size); });
    lastSent_ = Clock::now();
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::microseconds kLongestGap{500};

  void keepGap() const {
    const auto gap = std::min(minimumGap(), kLongestGap);
    if (gap.count() <= 0) return;
    const auto since = Clock::now() - lastSent_;
    if (since < gap) std::this_thread::sleep_for(gap - since);
  }
  Clock::time_point lastSent_{};
};

}  // namespace

std::string stableAlsaName(const std::string& rtMidiPortName) {
  const std::size_t space = rtMidiPortName.rfind(' ');
  if (space == std::string::npos) return rtMidiPortName;
  const std::string_view tail = std::string_view(rtMidiPortName).substr(space + 1);
  const std::size_t colon = tail.find(':');
  const auto digits = [](std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
  };
  if (colon == std::string_view::npos || !digits(tail.substr(0, colon)) ||
      !digits(tail.substr(colon + 1)))
    return rtMidiPortName;
  return rtMidiPortName.substr(0, space);
}

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
  if (api == Api::Jack) return createJackPorts(post);
  PortSet ports;
  ports.input1 = std::make_unique<RtInput>(api, post, 0);
  ports.input2 = std::make_unique<RtInput>(api, post, 1);
  ports.output = std::make_unique<RtOutput>(api, post);
  return ports;
}

}  // namespace kalvant::midi

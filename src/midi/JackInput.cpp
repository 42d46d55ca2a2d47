// A MIDI input straight on libjack. Each JACK event goes to the port layer
// with its bytes as they came, so the parser there sees every message in
// it; an input that let a sysex without its F7 swallow the events after it
// would go deaf until some event happened to end with F7.

#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <vector>

#include "midi/JackClient.h"

namespace kalvant::midi {

bool isOwnPort(const std::string& name) {
  for (const char* own : kClientNames) {
    if (name.rfind(own, 0) == 0) return true;
  }
  return false;
}

void quietJack() {
  static const bool done = [] {
    jack_set_error_function([](const char*) {});
    jack_set_info_function([](const char*) {});
    return true;
  }();
  (void)done;
}

namespace {

class JackInput : public MidiInput {
 public:
  JackInput(const Post& post, int clientIndex) : MidiInput(post) {
    quietJack();
    jack_status_t status{};
    client_ = jack_client_open(kClientNames[clientIndex], JackNoStartServer, &status);
    if (!client_) {
      reportError(kWarning, "MIDI input: no JACK server answers");
      return;
    }
    jack_set_process_callback(client_, &JackInput::process, this);
    jack_on_shutdown(client_, &JackInput::shutdown, this);
    if (jack_activate(client_) != 0) {
      jack_client_close(client_);
      client_ = nullptr;
      reportError(kDriverError, "MIDI input: JACK would not activate its client");
    }
  }

  ~JackInput() override {
    close();
    // Stops the process callback before the queue it fills goes away.
    if (client_) jack_client_close(client_);
  }

  int deviceCount() override { return static_cast<int>(sources().size()); }

  std::string deviceName() override {
    const std::vector<std::string> list = sources();
    return valid(selected_, list) ? list[static_cast<std::size_t>(selected_)] : std::string();
  }

  bool open() override {
    if (open_) return false;
    const std::vector<std::string> list = sources();
    if (!valid(selected_, list)) {
      reportError(kNoSuchDevice,
                  "MIDI input device " + std::to_string(selected_) + " is not present");
      return false;
    }
    // The port stays registered for the client's life: the process callback
    // never sees it go away.
    if (!port_) {
      port_ = jack_port_register(client_, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    }
    const std::string& source = list[static_cast<std::size_t>(selected_)];
    if (!port_ || jack_connect(client_, source.c_str(), jack_port_name(port_)) != 0) {
      reportError(kDriverError, "MIDI input: JACK could not connect " + source);
      return false;
    }
    connected_ = source;
    open_ = true;
    return true;
  }

  bool start() override {
    started_ = open_;
    return open_;
  }

  void close() override {
    started_ = false;
    if (open_ && !serverGone_) jack_disconnect(client_, connected_.c_str(), jack_port_name(port_));
    open_ = false;
    clearQueue();
  }

 private:
  static bool valid(int i, const std::vector<std::string>& list) {
    return i >= 0 && static_cast<std::size_t>(i) < list.size();
  }

  std::vector<std::string> sources() {
    std::vector<std::string> list;
    if (!client_ || serverGone_) return list;
    const char** ports = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    for (const char** p = ports; p && *p; ++p) {
      if (!isOwnPort(*p)) list.emplace_back(*p);
    }
    if (ports) jack_free(ports);
    return list;
  }

  static int process(jack_nframes_t frames, void* self) {
    auto* input = static_cast<JackInput*>(self);
    jack_port_t* port = input->port_.load();
    if (!port || !input->started_) return 0;
    void* buffer = jack_port_get_buffer(port, frames);
    const std::uint32_t count = jack_midi_get_event_count(buffer);
    for (std::uint32_t i = 0; i < count; ++i) {
      jack_midi_event_t event;
      if (jack_midi_event_get(&event, buffer, i) == 0) {
        input->enqueueFromDriver(event.buffer, event.size);
      }
    }
    return 0;
  }

  static void shutdown(void* self) { static_cast<JackInput*>(self)->serverGone_ = true; }

  jack_client_t* client_ = nullptr;
  std::atomic<jack_port_t*> port_{nullptr};
  std::atomic<bool> serverGone_{false};
  std::string connected_;
};

}  // namespace

std::unique_ptr<MidiInput> createJackInput(const Post& post, int clientIndex) {
  return std::make_unique<JackInput>(post, clientIndex);
}

}  // namespace kalvant::midi

// The console's three JACK port objects: thin, each one port of the shared
// client (JackSystem.h).

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "midi/JackSystem.h"

namespace kalvant::midi {
namespace {

// What the three port objects share: one port of the client, its device
// list and its connection.
template <class Base>
class JackPort : public Base, public JackEndpoint {
 public:
  JackPort(const Post& post, std::shared_ptr<JackSystem> system, int slot)
      : Base(post), system_(std::move(system)), slot_(slot) {}

  int deviceCount() override { return static_cast<int>(system_->devices(slot_).size()); }
  std::vector<std::string> devices() override { return system_->devices(slot_); }

  std::string deviceName() override {
    const std::vector<std::string> list = system_->devices(slot_);
    return selectedIn(list) ? list[static_cast<std::size_t>(this->selected_)] : std::string();
  }

  bool open() override {
    if (this->open_) return false;
    const std::vector<std::string> list = system_->devices(slot_);
    if (!selectedIn(list)) {
      this->reportError(kNoSuchDevice, std::string("MIDI ") + kind() + " device " +
                                           std::to_string(this->selected_) + " is not present");
      return false;
    }
    const std::string& device = list[static_cast<std::size_t>(this->selected_)];
    if (!system_->connect(slot_, device)) {
      this->reportError(kDriverError,
                        std::string("MIDI ") + kind() + ": JACK could not connect " + device);
      return false;
    }
    // A new connection shows (and carries events) once the server's graph
    // has run with it: the module's reset is sent right after this.
    system_->settle();
    this->open_ = true;
    return true;
  }

  void close() override {
    if (this->open_) system_->disconnect(slot_);
    this->open_ = false;
  }

  std::optional<std::string> connectedName() override {
    return this->open_ ? system_->connectedName(slot_) : std::string();
  }
  bool announcesChanges() const override { return true; }
  void poll() override { system_->poll(); }

  void forget() override { this->open_ = false; }
  MidiPort& port() override { return *this; }

 protected:
  const std::shared_ptr<JackSystem> system_;
  const int slot_;

 private:
  bool selectedIn(const std::vector<std::string>& list) const {
    return this->selected_ >= 0 && static_cast<std::size_t>(this->selected_) < list.size();
  }
  const char* kind() const { return slot_ == JackSystem::kOut ? "output" : "input"; }
};

// Each JACK event goes to the port layer with its bytes as they came, so the
// parser there sees every message in it.
class JackInput : public JackPort<MidiInput> {
 public:
  JackInput(const Post& post, std::shared_ptr<JackSystem> system, int slot)
      : JackPort(post, std::move(system), slot) {
    system_->attach(slot_, this);
  }
  ~JackInput() override {
    close();
    system_->detach(slot_);
  }

  bool start() override {
    started_ = open_;
    return open_;
  }
  void close() override {
    started_ = false;
    JackPort::close();
    clearQueue();
  }
  void forget() override {
    started_ = false;
    JackPort::forget();
    clearQueue();
  }
  void receive(const std::uint8_t* bytes, std::size_t size) override {
    if (started_) enqueueFromDriver(bytes, size);
  }
  CycleOut* cycleOut() override { return system_->cycleOut(); }
  void woken() override { postDelivery(); }

 protected:
  // The process thread must not post: the notifier thread does.
  void wakeGui() override { system_->wake(slot_); }
};

class JackOutput : public JackPort<MidiOutput> {
 public:
  JackOutput(const Post& post, std::shared_ptr<JackSystem> system)
      : JackPort(post, std::move(system), JackSystem::kOut) {
    system_->attach(slot_, this);
  }
  ~JackOutput() override {
    close();
    if (synth_) system_->attachSynth(nullptr);
    system_->detach(slot_);
  }

  bool start() override { return open_; }
  void close() override {
    // What was just sent (the shutdown's reset) must leave before the
    // connection goes.
    if (open_) system_->drain();
    JackPort::close();
  }

  void setMinimumGap(std::chrono::microseconds gap) override {
    MidiOutput::setMinimumGap(gap);
    system_->setGap(gap);
  }
  bool attachCycleSynth(CycleSynth* synth) override {
    synth_ = synth;
    return system_->attachSynth(synth);
  }
  double cycleSampleRate() const override { return system_->sampleRate(); }
  void sendToCycleSynth(const std::uint8_t* data, std::size_t size) override {
    system_->send(data, size, true);
  }

 protected:
  void sendMessage(const std::uint8_t* data, std::size_t size) override {
    system_->send(data, size);
  }

 private:
  CycleSynth* synth_ = nullptr;
};

}  // namespace

PortSet createJackPorts(const Post& post) {
  quietJack();
  auto system = std::make_shared<JackSystem>();
  PortSet ports;
  ports.input1 = std::make_unique<JackInput>(post, system, JackSystem::kIn1);
  ports.input2 = std::make_unique<JackInput>(post, system, JackSystem::kIn2);
  ports.output = std::make_unique<JackOutput>(post, system);
  if (!system->failure().empty()) {
    ports.output->reportError(system->failureCode(), "MIDI: " + system->failure());
  }
  return ports;
}

}  // namespace kalvant::midi

#include "synth/BuiltInSynth.h"

#include "synth/AudioOutput.h"
#include "synth/FluidTarget.h"
#include "synth/GsModule.h"
#include "synth/InCycleSynth.h"

namespace kalvant::synth {

SynthEngine::SynthEngine(double sampleRate, const std::string& soundfont, std::string& error,
                         bool threadSafe) {
  FluidTarget::Options options;
  options.sampleRate = sampleRate;
  options.threadSafe = threadSafe;
  target = std::make_unique<FluidTarget>(options);
  target->loadSoundfont(soundfont, error);
  module = std::make_unique<GsModule>(*target);
  module->applyAll();  // a module switched on is in its reset state
}

SynthEngine::~SynthEngine() = default;

BuiltInSynthOutput::BuiltInSynthOutput(std::unique_ptr<midi::MidiOutput> system,
                                       std::string programDir, midi::Post post)
    : MidiOutput(std::move(post)), system_(std::move(system)), programDir_(std::move(programDir)) {
  // The system port raises its errors on the GUI thread already.
  system_->onError = [this](int code, const std::string& text) {
    if (onError) onError(code, text);
  };
  system_->onDevicesChanged = [this] {
    if (onDevicesChanged) onDevicesChanged();
  };
}

// The built-in device is always there and never renamed.
std::optional<std::string> BuiltInSynthOutput::connectedName() {
  if (builtInOpen_) return std::string(kBuiltInSynthName);
  return open_ ? system_->connectedName() : std::string();
}

BuiltInSynthOutput::~BuiltInSynthOutput() {
  close();
}

std::string BuiltInSynthOutput::deviceName() {
  const int n = system_->deviceCount();
  if (selected_ == n) return kBuiltInSynthName;
  if (selected_ < 0 || selected_ > n) return "";
  system_->selectDevice(selected_);
  return system_->deviceName();
}

std::vector<std::string> BuiltInSynthOutput::devices() {
  std::vector<std::string> list = system_->devices();
  list.emplace_back(kBuiltInSynthName);
  return list;
}

bool BuiltInSynthOutput::open() {
  close();
  if (builtInSelected()) {
    open_ = openBuiltIn();
    return open_;
  }
  system_->selectDevice(selected_);
  open_ = system_->open();
  return open_;
}

bool BuiltInSynthOutput::openBuiltIn() {
  // Opening writes nothing: the settings file appears when Setup saves it.
  std::string error;
  const SynthSettings settings = loadSynthSettings(programDir_, &error);
  if (!error.empty()) {
    reportError(midi::kWarning, "The built-in synthesizer's settings could not be read (" + error +
                                    "); it plays with its defaults.");
  }
  builtInOpen_ = true;
  const bool cycleChosen = settings.audioDriver == "auto" || settings.audioDriver == "jack";
  if (!cycleChosen || !openInCycle(soundfontPath(settings))) openWithAudioOutput(settings);
  return true;
}

// From here on only the driver thread calls the engine, so it is built
// without FluidSynth's lock. A soundfont that fails to load is left to the
// other path, which says why.
bool BuiltInSynthOutput::openInCycle(const std::string& soundfont) {
  const double rate = system_->cycleSampleRate();
  if (rate <= 0) return false;
  std::string error;
  auto engine = std::make_unique<SynthEngine>(rate, soundfont, error, false);
  if (!error.empty()) return false;
  auto cycle = std::make_unique<InCycleSynth>(*engine->target, *engine->module);
  if (!system_->attachCycleSynth(cycle.get())) return false;
  engine_ = std::move(engine);
  cycle_ = std::move(cycle);
  driverName_ = "jack";
  return true;
}

void BuiltInSynthOutput::openWithAudioOutput(const SynthSettings& settings) {
  std::string error;
  engine_ = std::make_unique<SynthEngine>(44100.0, soundfontPath(settings), error);
  if (!error.empty()) {
    reportError(midi::kDriverError,
                "The built-in synthesizer stays silent: " + error +
                    ". Install fluid-soundfont-gm, or choose a soundfont under BUILT-IN "
                    "SYNTHESIZER in Setup.");
    return;
  }
  audio_ = std::make_unique<AudioOutput>();
  const AudioStart started =
      audio_->start(engine_->target->settings(), engine_->target->synth(), settings.audioDriver);
  if (started.ok) {
    driverName_ = started.driver;
  } else {
    reportError(midi::kDriverError, started.error);
  }
}

bool BuiltInSynthOutput::start() {
  if (!open_) return false;
  return builtInOpen_ ? true : system_->start();
}

void BuiltInSynthOutput::close() {
  if (builtInOpen_) {
    // The cycle, or the audio thread, lets go of the synthesizer before it
    // goes away.
    if (cycle_) system_->attachCycleSynth(nullptr);
    cycle_.reset();
    audio_.reset();
    engine_.reset();
    driverName_.clear();
    builtInOpen_ = false;
  } else if (system_->isOpen()) {
    system_->close();
  }
  open_ = false;
}

const GsInterpreter* BuiltInSynthOutput::gsState() {
  if (cycle_) return &cycle_->gsState();
  return engine_ ? &engine_->module->interpreter() : nullptr;
}

midi::SynthChoice BuiltInSynthOutput::saved(std::string& error) {
  const SynthSettings s = loadSynthSettings(programDir_, &error);
  return {s.audioDriver, s.soundfont};
}

std::string BuiltInSynthOutput::soundfontFile(const midi::SynthChoice& choice) {
  return soundfontPath({choice.audioDriver, choice.soundfont});
}

bool BuiltInSynthOutput::apply(const midi::SynthChoice& choice, std::string& error) {
  return saveSynthSettings(programDir_, {choice.audioDriver, choice.soundfont}, error);
}

void BuiltInSynthOutput::sendMessage(const std::uint8_t* data, std::size_t size) {
  if (cycle_) {
    system_->sendToCycleSynth(data, size);
    return;
  }
  if (builtInOpen_) {
    engine_->module->receive(data, size);
    return;
  }
  // The system port splits and sends each message on its own, as before.
  if (data[0] == 0xF0) {
    system_->sendSysex(std::string_view(reinterpret_cast<const char*>(data), size));
  } else {
    system_->sendShort(data[0], size > 1 ? data[1] : 0, size > 2 ? data[2] : 0);
  }
}

std::unique_ptr<midi::MidiOutput> withBuiltInSynth(std::unique_ptr<midi::MidiOutput> system,
                                                   const std::string& programDir, midi::Post post) {
  return std::make_unique<BuiltInSynthOutput>(std::move(system), programDir, std::move(post));
}

}  // namespace kalvant::synth

#pragma once
// The built-in synthesizer as a MIDI output device: the system's outputs keep
// their indexes and "kalvant built-in synthesizer" follows them, so the setup
// dialog lists it just before "No device".

#include <memory>
#include <string>

#include "midi/BuiltInSynthControl.h"
#include "midi/MidiPort.h"
#include "synth/SynthSettings.h"

namespace kalvant::synth {

inline constexpr const char* kBuiltInSynthName = "kalvant built-in synthesizer";

class FluidTarget;
class GsModule;
class GsInterpreter;
class AudioOutput;
class InCycleSynth;

// The module and its synthesizer, without any audio output: what the
// built-in device plays through, and what an offline renderer drives.
// `threadSafe` false: one thread makes every call once it is built.
struct SynthEngine {
  SynthEngine(double sampleRate, const std::string& soundfont, std::string& error,
              bool threadSafe = true);
  ~SynthEngine();
  std::unique_ptr<FluidTarget> target;
  std::unique_ptr<GsModule> module;
};

class BuiltInSynthOutput : public midi::MidiOutput, public midi::BuiltInSynthControl {
 public:
  BuiltInSynthOutput(std::unique_ptr<midi::MidiOutput> system, std::string programDir,
                     midi::Post post);
  ~BuiltInSynthOutput() override;

  int deviceCount() override { return system_->deviceCount() + 1; }
  std::string deviceName() override;
  std::vector<std::string> devices() override;
  // Opening the built-in device starts its audio. With the audio choice
  // "auto" or "jack" and a MIDI system that renders a synthesizer in its own
  // cycle (JACK), it plays there, through the console's own audio ports;
  // otherwise through an audio output of its own. When no audio device (or
  // no soundfont) can be opened, it still opens, stays silent and says why
  // through onError: the console keeps working.
  bool open() override;
  bool start() override;
  void close() override;
  std::optional<std::string> connectedName() override;
  bool announcesChanges() const override { return system_->announcesChanges(); }
  void poll() override { system_->poll(); }
  // The system's output spaces its messages as asked.
  void setMinimumGap(std::chrono::microseconds gap) override {
    MidiOutput::setMinimumGap(gap);
    system_->setMinimumGap(gap);
  }

  bool builtInSelected() { return selected_ == system_->deviceCount(); }
  // The audio driver that plays ("" when silent or closed): "jack" in the
  // cycle too, where the console's own JACK client plays it.
  const std::string& audioDriver() const { return driverName_; }
  bool playsInCycle() const { return cycle_ != nullptr; }
  // The GS state while the built-in device is open, else null (for tests).
  // In the cycle it is the driver thread's copy as of the last message it
  // played, so a message sent just now may not show yet. Valid until the
  // next call or close().
  const GsInterpreter* gsState();

  // Its settings in "kalvant-synth.ini", for the setup dialog.
  midi::SynthChoice saved(std::string& error) override;
  std::vector<std::string> audioDrivers() override { return audioDriverChoices(); }
  std::string soundfontFile(const midi::SynthChoice& choice) override;
  bool apply(const midi::SynthChoice& choice, std::string& error) override;

 protected:
  void sendMessage(const std::uint8_t* data, std::size_t size) override;

 private:
  bool openBuiltIn();
  bool openInCycle(const std::string& soundfont);
  void openWithAudioOutput(const SynthSettings& settings);
  std::unique_ptr<midi::MidiOutput> system_;
  std::string programDir_;
  bool builtInOpen_ = false;
  std::unique_ptr<SynthEngine> engine_;
  std::unique_ptr<AudioOutput> audio_;
  std::unique_ptr<InCycleSynth> cycle_;  // attached to system_ while set
  std::string driverName_;
};

// The console's output port with the built-in synthesizer after the
// system's devices.
std::unique_ptr<midi::MidiOutput> withBuiltInSynth(std::unique_ptr<midi::MidiOutput> system,
                                                   const std::string& programDir, midi::Post post);

}  // namespace kalvant::synth

#include "synth/FluidTarget.h"

#include <fluidsynth.h>

#include <mutex>
#include <utility>

namespace kalvant::synth {

namespace {

constexpr int kDrumBank = 128;

std::mutex logMutex;
std::string loggedErrors;
thread_local bool dropErrors = false;

void keepErrors(int level, const char* message, void*) {
  if (level > FLUID_ERR || !message || dropErrors) return;
  std::lock_guard lock(logMutex);
  if (!loggedErrors.empty()) loggedErrors += "; ";
  loggedErrors += message;
}

// The SoundFont default lets CC91/CC93 send at most a fifth of a voice to the
// effects, which leaves a church's reverberation some 35 dB under the pipes.
// A GS module sends the whole voice at 127; so does this.
void scaleEffectSends(fluid_synth_t* synth) {
  for (auto [cc, destination] : {std::pair{91, GEN_REVERBSEND}, std::pair{93, GEN_CHORUSSEND}}) {
    fluid_mod_t* mod = new_fluid_mod();
    fluid_mod_set_source1(
        mod, cc, FLUID_MOD_CC | FLUID_MOD_LINEAR | FLUID_MOD_UNIPOLAR | FLUID_MOD_POSITIVE);
    fluid_mod_set_source2(mod, FLUID_MOD_NONE, 0);
    fluid_mod_set_dest(mod, destination);
    fluid_mod_set_amount(mod, 1000.0);
    fluid_synth_add_default_mod(synth, mod, FLUID_SYNTH_OVERWRITE);
    delete_fluid_mod(mod);
  }
}

}  // namespace

void quietFluidLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level : {FLUID_PANIC, FLUID_ERR}) fluid_set_log_function(level, keepErrors, nullptr);
    for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
      fluid_set_log_function(level, nullptr, nullptr);
  });
}

std::string takeFluidErrors() {
  std::lock_guard lock(logMutex);
  return std::exchange(loggedErrors, {});
}

FluidErrorsDropped::FluidErrorsDropped() : before_(std::exchange(dropErrors, true)) {}

FluidErrorsDropped::~FluidErrorsDropped() {
  dropErrors = before_;
}

FluidTarget::FluidTarget(const Options& options) {
  quietFluidLog();
  settings_ = new_fluid_settings();
  fluid_settings_setnum(settings_, "synth.sample-rate", options.sampleRate);
  fluid_settings_setnum(settings_, "synth.gain", options.gain);
  fluid_settings_setint(settings_, "synth.polyphony", options.polyphony);
  fluid_settings_setint(settings_, "synth.midi-channels", 16);
  fluid_settings_setint(settings_, "synth.reverb.active", 1);
  fluid_settings_setint(settings_, "synth.chorus.active", 1);
  // Loads the whole sound at once: no disk reads while playing.
  fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 0);
  fluid_settings_setint(settings_, "synth.threadsafe-api", options.threadSafe ? 1 : 0);
  synth_ = new_fluid_synth(settings_);
  if (synth_) scaleEffectSends(synth_);
}

FluidTarget::~FluidTarget() {
  if (synth_) delete_fluid_synth(synth_);
  if (settings_) delete_fluid_settings(settings_);
}

bool FluidTarget::loadSoundfont(const std::string& path, std::string& error) {
  takeFluidErrors();
  if (soundfont_ >= 0) fluid_synth_sfunload(synth_, soundfont_, 1);
  soundfont_ = -1;
  if (!synth_) {
    error = "the synthesizer could not be created";
    return false;
  }
  const int id = fluid_synth_sfload(synth_, path.c_str(), 1);
  if (id == FLUID_FAILED) {
    const std::string why = takeFluidErrors();
    error = "cannot load the soundfont \"" + path + "\"" + (why.empty() ? "" : ": " + why);
    return false;
  }
  soundfont_ = id;
  return true;
}

void FluidTarget::restart() {
  fluid_synth_system_reset(synth_);
  tuning_ = {};
}

void FluidTarget::render(float* left, float* right, int frames) {
  fluid_synth_write_float(synth_, frames, left, 0, 1, right, 0, 1);
}

void FluidTarget::noteOn(int channel, int key, int velocity) {
  fluid_synth_noteon(synth_, channel, key, velocity);
}

void FluidTarget::noteOff(int channel, int key) {
  fluid_synth_noteoff(synth_, channel, key);
}

void FluidTarget::controlChange(int channel, int controller, int value) {
  fluid_synth_cc(synth_, channel, controller, value);
}

void FluidTarget::pitchBend(int channel, int value) {
  fluid_synth_pitch_bend(synth_, channel, value);
}

void FluidTarget::channelPressure(int channel, int value) {
  fluid_synth_channel_pressure(synth_, channel, value);
}

void FluidTarget::keyPressure(int channel, int key, int value) {
  fluid_synth_key_pressure(synth_, channel, key, value);
}

void FluidTarget::selectTone(int channel, int bank, int program, bool rhythm) {
  fluid_synth_set_channel_type(synth_, channel, rhythm ? CHANNEL_TYPE_DRUM : CHANNEL_TYPE_MELODIC);
  if (soundfont_ < 0) return;
  fluid_sfont_t* sf = fluid_synth_get_sfont_by_id(synth_, soundfont_);
  // A GS module plays the capital tone when it lacks a variation; rhythm
  // parts take the drum kit, then the standard kit.
  const int first = rhythm ? kDrumBank : bank;
  const int fallback = rhythm ? kDrumBank : 0;
  const int fallbackProgram = rhythm ? 0 : program;
  if (fluid_sfont_get_preset(sf, first, program)) {
    fluid_synth_program_select(synth_, channel, soundfont_, first, program);
  } else if (fluid_sfont_get_preset(sf, fallback, program)) {
    fluid_synth_program_select(synth_, channel, soundfont_, fallback, program);
  } else if (fluid_sfont_get_preset(sf, fallback, fallbackProgram)) {
    fluid_synth_program_select(synth_, channel, soundfont_, fallback, fallbackProgram);
  } else {
    fluid_synth_unset_program(synth_, channel);
  }
}

void FluidTarget::setScaleTuning(int channel, const std::array<double, 12>& cents) {
  if (channel < 0 || channel >= static_cast<int>(tuning_.size())) return;
  if (tuning_[static_cast<std::size_t>(channel)] == cents) return;
  tuning_[static_cast<std::size_t>(channel)] = cents;
  // One tuning per part (bank 0, program = part), retuning sounding notes.
  fluid_synth_activate_octave_tuning(synth_, 0, channel, "GS scale tuning", cents.data(), 1);
  fluid_synth_activate_tuning(synth_, channel, 0, channel, 1);
}

void FluidTarget::setModulation(int channel, const Modulation& m) {
  fluid_synth_set_gen(synth_, channel, GEN_VIBLFOTOPITCH, static_cast<float>(m.vibratoCents));
  fluid_synth_set_gen(synth_, channel, GEN_VIBLFOFREQ, static_cast<float>(m.lfoRateCents));
  fluid_synth_set_gen(synth_, channel, GEN_MODLFOFREQ, static_cast<float>(m.lfoRateCents));
  fluid_synth_set_gen(synth_, channel, GEN_VIBLFODELAY,
                      static_cast<float>(m.vibratoDelayTimecents));
  fluid_synth_set_gen(synth_, channel, GEN_MODLFOTOVOL, static_cast<float>(m.tremoloCentibels));
}

void FluidTarget::setReverb(const ReverbParams& r) {
  fluid_synth_set_reverb_group_roomsize(synth_, -1, r.roomSize);
  fluid_synth_set_reverb_group_damp(synth_, -1, r.damping);
  fluid_synth_set_reverb_group_width(synth_, -1, r.width);
  fluid_synth_set_reverb_group_level(synth_, -1, r.level);
}

void FluidTarget::setChorus(const ChorusParams& c) {
  fluid_synth_set_chorus_group_nr(synth_, -1, c.voices);
  fluid_synth_set_chorus_group_level(synth_, -1, c.level);
  fluid_synth_set_chorus_group_speed(synth_, -1, c.speedHz);
  fluid_synth_set_chorus_group_depth(synth_, -1, c.depthMs);
}

void FluidTarget::silence(int channel) {
  fluid_synth_all_sounds_off(synth_, channel);
}

}  // namespace kalvant::synth

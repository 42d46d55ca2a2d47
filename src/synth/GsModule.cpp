#include "synth/GsModule.h"

#include "synth/GsSoundMap.h"

namespace kalvant::synth {

namespace {

constexpr int kCcBank = 0;
constexpr int kCcModWheel = 1;
constexpr int kCcVolume = 7;
constexpr int kCcPan = 10;
constexpr int kCcExpression = 11;
constexpr int kCcBankLsb = 32;
constexpr int kCcReverb = 91;
constexpr int kCcChorus = 93;
constexpr int kCcAllSoundsOff = 120;
constexpr int kCcResetControllers = 121;
constexpr int kCcAllNotesOff = 123;

// A rank shifted past the keyboard's ends breaks back by octaves, as the top
// of an organ mixture does.
int foldIntoRange(int key) {
  while (key > 127) key -= 12;
  while (key < 0) key += 12;
  return key;
}

int messageLength(std::uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
      return 2;
    default:
      return 3;
  }
}

}  // namespace

GsModule::GsModule(SoundTarget& target) : target_(target) {}

void GsModule::receive(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0) return;
  if (bytes[0] == 0xF0) {
    for (int part = 0; part < kParts; ++part) rxBefore_[part] = gs_.part(part).rxChannel;
    gs_.receiveSysex(bytes, size, *this);
    return;
  }
  if (bytes[0] >= 0x80 && bytes[0] < 0xF0) channelMessage(bytes, size);
}

void GsModule::channelMessage(const std::uint8_t* bytes, std::size_t size) {
  if (size < static_cast<std::size_t>(messageLength(bytes[0]))) return;
  const int channel = bytes[0] & 0x0F;
  const int d1 = bytes[1] & 0x7F;
  const int d2 = size > 2 ? bytes[2] & 0x7F : 0;
  // Every part listening to the channel plays: that is how a stop sounds
  // several ranks from one key.
  for (int part = 0; part < kParts; ++part) {
    if (gs_.part(part).receives(channel)) partMessage(part, bytes[0] & 0xF0, d1, d2);
  }
}

void GsModule::partMessage(int part, int status, int d1, int d2) {
  switch (status) {
    case 0x80:
      noteOff(part, d1);
      break;
    case 0x90:
      if (d2 == 0) {
        noteOff(part, d1);
      } else {
        noteOn(part, d1, d2);
      }
      break;
    case 0xA0:
      if (int k = runtime_[part].started[d1]) target_.keyPressure(part, k - 1, d2);
      break;
    case 0xB0:
      controller(part, d1, d2);
      break;
    case 0xC0: {
      PartState& p = gs_.part(part);
      p.toneBank = runtime_[part].pendingBank;
      p.toneProgram = static_cast<std::uint8_t>(d1);
      target_.selectTone(part, p.toneBank, p.toneProgram, p.rhythm != 0);
      break;
    }
    case 0xD0:
      target_.channelPressure(part, d1);
      break;
    case 0xE0:
      target_.pitchBend(part, d1 | (d2 << 7));
      break;
  }
}

void GsModule::noteOn(int part, int key, int velocity) {
  PartRuntime& r = runtime_[part];
  // A repeated key restarts: the earlier note ends first, wherever the key
  // shift had put it.
  if (r.started[key]) target_.noteOff(part, r.started[key] - 1);
  const PartState& p = gs_.part(part);
  const int shifted = p.rhythm ? key : foldIntoRange(key + p.keyShiftSemitones());
  if (p.pan == 0) {
    randomPan_ = randomPan_ * 1103515245u + 12345u;
    target_.controlChange(part, kCcPan, 1 + static_cast<int>((randomPan_ >> 16) % 127));
  }
  target_.noteOn(part, shifted, velocity);
  r.started[key] = static_cast<std::uint8_t>(shifted + 1);
}

void GsModule::noteOff(int part, int key) {
  // The part ends the key it started, even if a stop has changed its key
  // shift since: otherwise the pipe would cipher.
  std::uint8_t& started = runtime_[part].started[key];
  if (!started) return;
  target_.noteOff(part, started - 1);
  started = 0;
}

void GsModule::controller(int part, int cc, int value) {
  PartState& p = gs_.part(part);
  const auto v = static_cast<std::uint8_t>(value);
  switch (cc) {
    case kCcBank:
      runtime_[part].pendingBank = v;
      return;
    case kCcBankLsb:
      return;  // GS takes the bank from CC#0 alone
    case kCcModWheel:
      runtime_[part].modWheel = v;
      applyModulation(part);
      return;
    case kCcVolume:
      p.level = v;  // CC7 is the part level itself
      break;
    case kCcPan:
      p.pan = v;
      if (v == 0) return;
      break;
    case kCcReverb:
      p.reverbSend = v;
      break;
    case kCcChorus:
      p.chorusSend = v;
      break;
    case kCcAllSoundsOff:
    case kCcAllNotesOff:
      silence(part);
      return;
    case 124:
    case 125:
    case 126:
    case 127:
      releaseAll(part);  // mode changes end notes as All Notes Off would
      return;
    case kCcResetControllers:
      runtime_[part].modWheel = 0;
      target_.controlChange(part, cc, value);
      applyModulation(part);
      return;
  }
  target_.controlChange(part, cc, value);
}

void GsModule::releaseAll(int part) {
  for (int key = 0; key < 128; ++key) noteOff(part, key);
}

void GsModule::silence(int part) {
  target_.silence(part);
  runtime_[part].started.fill(0);
}

int GsModule::soundingNotes(int part) const {
  int n = 0;
  for (std::uint8_t k : runtime_[part].started) n += k != 0;
  return n;
}

void GsModule::apply(const Change& c) {
  const int part = c.part;
  switch (c.param) {
    case Param::Reset:
      resetAll();
      return;
    case Param::Tone:
    case Param::Rhythm:
      target_.selectTone(part, gs_.part(part).toneBank, gs_.part(part).toneProgram,
                         gs_.part(part).rhythm != 0);
      return;
    case Param::RxChannel:
      // Its note-offs will no longer reach the part: end its notes now. A
      // stop that keeps the part on its channel leaves held keys sounding.
      if (gs_.part(part).rxChannel != rxBefore_[part]) releaseAll(part);
      return;
    case Param::KeyShift:
      return;  // the next notes start shifted; sounding ones keep their key
    case Param::Level:
      target_.controlChange(part, kCcVolume, gs_.part(part).level);
      return;
    case Param::Pan:
      if (gs_.part(part).pan != 0) target_.controlChange(part, kCcPan, gs_.part(part).pan);
      return;
    case Param::ChorusSend:
      target_.controlChange(part, kCcChorus, gs_.part(part).chorusSend);
      return;
    case Param::ReverbSend:
      target_.controlChange(part, kCcReverb, gs_.part(part).reverbSend);
      return;
    case Param::Vibrato:
    case Param::ModDepth:
      applyModulation(part);
      return;
    case Param::ScaleTuning:
      target_.setScaleTuning(part, scaleTuningCents(gs_.part(part)));
      return;
    case Param::Reverb:
      target_.setReverb(reverbFor(gs_.system()));
      return;
    case Param::Chorus:
      target_.setChorus(chorusFor(gs_.system()));
      return;
  }
}

void GsModule::resetAll() {
  for (int i = 0; i < kParts; ++i) {
    silence(i);
    runtime_[i] = PartRuntime{};
    target_.controlChange(i, kCcResetControllers, 0);
    target_.pitchBend(i, 8192);
  }
  applyAll();
}

void GsModule::applyAll() {
  for (int part = 0; part < kParts; ++part) applyPart(part);
  target_.setReverb(reverbFor(gs_.system()));
  target_.setChorus(chorusFor(gs_.system()));
}

void GsModule::applyPart(int part) {
  const PartState& p = gs_.part(part);
  target_.selectTone(part, p.toneBank, p.toneProgram, p.rhythm != 0);
  target_.controlChange(part, kCcVolume, p.level);
  target_.controlChange(part, kCcExpression, 127);
  target_.controlChange(part, kCcPan, p.pan == 0 ? kCentre : p.pan);
  target_.controlChange(part, kCcReverb, p.reverbSend);
  target_.controlChange(part, kCcChorus, p.chorusSend);
  target_.setScaleTuning(part, scaleTuningCents(p));
  applyModulation(part);
}

void GsModule::applyModulation(int part) {
  target_.setModulation(part, modulationFor(gs_.part(part), runtime_[part].modWheel));
}

}  // namespace kalvant::synth

#include "ConsoleScript.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "Checks.h"
#include "midi/MidiBytes.h"

namespace kalvant::fuzz {

namespace {

// Every sysex entry is two messages, so that a sysex delay makes pauses
// inside an entry as well as between entries. Built once: the console
// takes a copy per run.
const StopsTable& twoMessageTable() {
  static const StopsTable table = [] {
    StopsTable t;
    for (int k = 0; k < kStopsTableSize; ++k) {
      t[k] = {'\xF0',
              0x7D,
              static_cast<char>(k / 128),
              static_cast<char>(k % 128),
              '\xF7',
              '\xF0',
              0x7E,
              0x00,
              '\xF7'};
    }
    for (int i = 10; i <= 99; ++i) t[i + 104] = "Stop " + std::to_string(i);
    return t;
  }();
  return table;
}

// One program directory for the whole process: shutdown may write
// "KALVANT.CFG" into it. Under $TMPDIR when set: on a memory file system
// the files' syncs cost nothing and a run takes a fraction of the time.
struct ProgramDir {
  std::string path;
  ProgramDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kalvant-fuzz-XXXXXX";
    path = ::mkdtemp(pattern.data()) ? pattern : "/tmp";
  }
  ~ProgramDir() {
    if (path != "/tmp") std::filesystem::remove_all(path);
  }
};

const std::string& programDir() {
  static const ProgramDir dir;
  return dir.path;
}

}  // namespace

// The event loop on a virtual clock that moves only when the run advances
// it; closures posted by the ports run when the run pumps them.
class ConsoleRun::Loop : public EventLoop {
 public:
  std::function<void()> onTimer;
  long time = 0;

  std::chrono::steady_clock::time_point now() const override {
    return std::chrono::steady_clock::time_point(std::chrono::milliseconds(time));
  }
  void startTimer(int msec) override {
    armed_ = true;
    interval_ = msec;
    deadline_ = time + msec;
  }
  void stopTimer() override { armed_ = false; }
  bool armed() const { return armed_; }
  // The clock moves to the timer's next tick, which fires.
  void tick() {
    if (!armed_) return;
    time = std::max(time, deadline_);
    deadline_ += interval_;
    if (onTimer) onTimer();
  }
  void everySecond(std::function<void()>) override {}
  void whenIdle(std::function<void()> fn) override { idle_ = std::move(fn); }

  midi::Post post() {
    return [this](std::function<void()> fn) { posted_.push_back(std::move(fn)); };
  }
  void runPosted() {
    while (!posted_.empty()) {
      auto batch = std::move(posted_);
      posted_.clear();
      for (auto& fn : batch) fn();
    }
    if (idle_) idle_();
  }

 private:
  bool armed_ = false;
  long interval_ = 1, deadline_ = 0;
  std::vector<std::function<void()>> posted_;
  std::function<void()> idle_;
};

// The organist answers every Yes/No question the same way.
class ConsoleRun::User : public UserDialogs {
 public:
  explicit User(ConsoleRun& run) : run_(run) {}
  bool yes = false;
  void message(const std::string& text, MessageIcon) override { run_.messages.push_back(text); }
  bool askYesNo(const std::string&) override { return yes; }
  void notice(const std::string& text) override { run_.messages.push_back(text); }

 private:
  ConsoleRun& run_;
};

ConsoleRun::ConsoleRun()
    : dir_(programDir()), loop_(std::make_unique<Loop>()), user_(std::make_unique<User>(*this)) {
  const std::vector<std::string> keyboards{"Keyboard A", "Keyboard B"};
  in1_ = std::make_unique<midi::MemoryMidiInput>(keyboards, loop_->post());
  in2_ = std::make_unique<midi::MemoryMidiInput>(keyboards, loop_->post());
  out_ = std::make_unique<midi::MemoryMidiOutput>(std::vector<std::string>{"GS Module"},
                                                  loop_->post());
  // As on JACK: what needs no console is routed as it arrives.
  in1_->liveOut = out_.get(), in2_->liveOut = out_.get();
  k_ = std::make_unique<Console>(ConsoleWorld{*user_, *loop_, *in1_, *in2_, *out_, dir_});
  loop_->onTimer = [this] { k_->Timer1_Timer(); };
  out_->onSent = [this](const midi::Bytes& m) { checkSent(m); };
}

ConsoleRun::~ConsoleRun() = default;

void ConsoleRun::fail(const std::string& why) {
  if (broken_.empty()) broken_ = why;
}

std::uint8_t ConsoleRun::next() {
  return pos_ < size_ ? data_[pos_++] : 0;
}

std::string ConsoleRun::play(const std::uint8_t* data, std::size_t size) {
  data_ = data;
  size_ = size;
  pos_ = 0;
  start();
  settle();
  while (pos_ < size_ && broken_.empty()) {
    if (!runAction()) continue;
    // What the console sends meanwhile is lost: the module keeps what it had.
    if (!out_->isOpen()) moduleStops_.fill(kUnknown);
    if (holds_ == 0) {
      settle();
    } else {
      for (int i = 1; i < holds_; ++i) loop_->tick();
      holds_ = 0;
      loop_->runPosted();
      checkPanel();
    }
  }
  settle();
  return broken_;
}

// The ports' events run and the clock moves on until the console's output
// has drained; then the panel and the module must agree.
void ConsoleRun::settle() {
  loop_->runPosted();
  for (int ticks = 0; loop_->armed(); ++ticks) {
    if (ticks > 100000) return fail("the console's output never drained");
    loop_->tick();
    loop_->runPosted();
  }
  checkPanel();
  checkModule();
}

// Settings straight from the script, as an unchecked configuration file may
// hold them; then the start-up's port opening and reset.
void ConsoleRun::applySettings() {
  Settings& c = k_->s.settings;
  auto value = [this] { return static_cast<i16>(static_cast<std::int8_t>(next())); };
  c.ThruMode = value();
  for (int i = 0; i < 3; ++i) c.FixedChannel[i] = value();
  c.SysexDelay = value();
  c.NoteDelay = value();
  c.TremoloValue = value();
  c.TremoloController = value();
  c.SlidersCoupled = value();
  c.GreatTemperament = value();
  c.SwellTemperament = value();
  c.PedalTemperament = value();
  c.ReverbType = value();
  c.MemoryLabelMode = value();
  const std::uint8_t flags = next();
  user_->yes = flags & 1;
  c.SaveCfgOnExit = (flags >> 1) & 1;
  c.InDev2 = static_cast<i16>((flags >> 2) % 3);  // device 0, 1 or "No device"
  next();                                         // spare, keeps the layout
}

void ConsoleRun::start() {
  k_->stopsTable.table() = twoMessageTable();
  k_->MIDI_DEVICES_ACK();
  applySettings();
  k_->s.settings.InDev1 = 0;
  k_->s.settings.OutDev = 0;
  k_->MIDI_OPENING();
  k_->RESET_Click();
}

// Runs one action; false when it was the pause marker.
bool ConsoleRun::runAction() {
  const std::uint8_t op = next() % kOpCount;
  if (op == kDuringPause) {
    ++holds_;
    return false;
  }
  if (op <= kPump) {
    runInputAction(op);
  } else if (k_->ended()) {
    next();  // the window is gone: no click or key reaches the console
  } else if (op <= kClear) {
    runConsoleAction(op);
  } else {
    runDialogAction(op);
  }
  return true;
}

void ConsoleRun::runInputAction(std::uint8_t op) {
  midi::MemoryMidiInput& in = (op == kNoteIn1 || op == kRawIn1) ? *in1_ : *in2_;
  if (op == kPump) return loop_->runPosted();
  if (op == kRawIn1 || op == kRawIn2) return injectRaw(in);
  const std::uint8_t m[3] = {static_cast<std::uint8_t>(next() | 0x80),
                             static_cast<std::uint8_t>(next() & 0x7F),
                             static_cast<std::uint8_t>(next() & 0x7F)};
  in.enqueueFromDriver(m, 3);
}

// Bytes as a driver could hand them over, data bytes of any value included.
void ConsoleRun::injectRaw(midi::MemoryMidiInput& in) {
  const std::size_t length = next() % 3 + 1;
  std::uint8_t m[3] = {};
  for (std::size_t i = 0; i < length; ++i) m[i] = next();
  in.enqueueFromDriver(m, length);
}

void ConsoleRun::runConsoleAction(std::uint8_t op) {
  Console& k = *k_;
  const std::uint8_t a = next();
  switch (op) {
    case kDivision:
      return a % 3 == 0 ? k.GREAT_Click() : a % 3 == 1 ? k.SWELL_Click() : k.PEDALE_Click();
    case kCoupler: {
      void (Console::*couplers[])() = {&Console::UNI_II_Click, &Console::UNII_I_Click,
                                       &Console::UNPI_Click, &Console::UNPII_Click};
      return (k.*couplers[a % 4])();
    }
    case kTremolo:
      return a % 2 ? k.TIR_TREMOLOSW_Click() : k.Tir_TREMOLOGO_Click();
    case kStop:
      return k.Tiranti_Click(10 + a % 90);
    case kMemory:
      return k.c_memory_Click(1 + a % 24);
    case kRec:
      return k.Rec_button_Click();
    case kClear:
      k.CANCEL_Click();
      return;
  }
}

void ConsoleRun::runDialogAction(std::uint8_t op) {
  Console& k = *k_;
  const std::uint8_t a = next();
  switch (op) {
    case kReset:
      return k.RESET_Click();
    case kPanic:
      return k.Panic_Click();
    case kThruOpen:
      return k.MidiTHRU_Click();
    case kThruChoose:
      return k.Thru_choose_Click(a % 3);
    case kThruField:
      return k.Custom_Thru_label_Click(a % 5 - 1);
    case kThruClose:
      return a % 3 == 0 ? k.Thru_OK_Click() : a % 3 == 1 ? k.Thru_CANCEL_Click() : k.Thru_Close();
    case kKeyDown:
      return k.Form_KeyDown(a, next() % 8);
    case kKeyPress:
      return k.Form_KeyPress(a);
    case kVolume: {
      const SliderView& slider =
          a % 2 ? k.sound().view().swellVolume : k.sound().view().greatVolume;
      const int value = slider.minimum + next() % (slider.maximum - slider.minimum + 1);
      return a % 2 ? k.Slider2_Scroll(value) : k.Slider1_Scroll(value);
    }
    case kCoupleSliders:
      return k.Couplingsliders_Click();
    case kTemperament:
      return k.Temperament_Click(a % 4);
    case kReverb:
      return k.Reverb_Click(a % 3);
    case kTremoloRate:
      k.tremoloRate_Click();
      k.Tremolo_Slider1_Scroll(100 + next() % 28);
      return a % 2 ? k.Tremolo_OK_Click() : k.Tremolo_CANCEL_Click();
    case kSetup:
      k.SetMidi_Click();
      k.InputDev1Combo_Click(a % 3);
      k.InputDev2Combo_Click((a / 3) % 3);
      return (a / 9) % 2 ? k.Setup_OK_Click() : k.Setup_CANCEL_Click();
    case kSysexDelay:
      return k.Setup_Slider1_Scroll(a % 4);
    case kLabelMode:
      return k.Labelmode_Click();
    case kStoreMemory: {
      std::array<std::int16_t, 10> v{};
      for (std::int16_t& x : v) x = static_cast<std::int8_t>(next());
      k.registration().bank().memory(1 + a % 12) = Registration::fromValues(v);
      return;
    }
    case kClose: {
      bool cancel = false;
      return k.Form_Unload(cancel);
    }
  }
}

// The module hears only whole messages: short ones with the length their
// status gives and data bytes below 128, sysex from F0 to F7.
void ConsoleRun::checkSent(const midi::Bytes& m) {
  if (k_->ended()) return fail("a message was sent after shutdown");
  if (m.empty()) return fail("an empty message was sent");
  if (m[0] == 0xF0) {
    if (m.back() != 0xF7) return fail("a sysex message does not end with F7");
    // Every entry's first message names it: F0 7D N/128 N%128 F7.
    if (m.size() != 5 || m[1] != 0x7D) return;
    const int N = m[2] * 128 + m[3];
    if (N == entry::kModuleReset) moduleStops_ = {-1, -1, -1};
    if (N == entry::kSetupFullOrgan)
      for (int d = 0; d < 3; ++d) moduleStops_[d] = kDivisions[d].firstStop;
    for (int d = 0; d < 3; ++d)
      if (kDivisions[d].holds(N)) moduleStops_[d] = N;
    return;
  }
  if (m[0] < 0x80) return fail("a message without a status byte was sent");
  if (static_cast<int>(m.size()) != midi::shortMessageLength(m[0]))
    return fail("a short message was sent with the wrong length");
  for (std::size_t i = 1; i < m.size(); ++i) {
    if (m[i] >= 0x80) return fail("a data byte of 128 or more was sent");
  }
}

// Once the output has drained, each division of the module holds the stop
// in force: the one the panel lights.
void ConsoleRun::checkModule() {
  if (k_->ended() || k_->closing() || !out_->isOpen()) return;
  const Registration& live = k_->registration().bank().live;
  const std::array<int, 3> lit{live.GreatStop, live.SwellStop, live.PedalStop};
  for (int d = 0; d < 3; ++d) {
    if (moduleStops_[d] != kUnknown && moduleStops_[d] != lit[d])
      return fail("the module does not hold the stops the console shows");
  }
}

// Between actions the panel shows the registration in force: one lit stop
// per division, the live one, and registration values the console can play.
void ConsoleRun::checkPanel() {
  if (k_->ended()) return;
  const MemoryBank& c = k_->registration().bank();
  const i16* live[3] = {&c.live.GreatStop, &c.live.SwellStop, &c.live.PedalStop};
  for (int d = 0; d < 3; ++d) {
    int lit = 0;
    for (int i = kDivisions[d].firstStop; i <= kDivisions[d].lastStop; ++i) {
      if (k_->registration().view().stopButtons[i].lamp != Lamp::Lit) continue;
      ++lit;
      if (i != *live[d]) return fail("a stop is lit that is not the one in force");
    }
    if (lit != 1) return fail("a division does not show exactly one lit stop");
  }
  if (playable(c.pending) != c.pending)
    fail("the pending registration holds a value the console cannot play");
  if (!k_->router().published()) fail("notes are routed by a state the console has left");
}

std::string checkConsole(const std::uint8_t* data, std::size_t size) {
  ConsoleRun run;
  return run.play(data, size);
}

}  // namespace kalvant::fuzz

#pragma once
// A console on in-memory MIDI ports, a scripted user, a fake clock, a temporary directory.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "console/CfgFormat.h"
#include "console/Console.h"
#include "midi/MemoryMidi.h"
#include "registration/MemoryFileFormat.h"
#include "stops/DatFile.h"
#include "support/FakeLoop.h"

namespace kalvant::test {

// Sysex entry k is the one message F0 7D k/128 k%128 F7: entryOf names it (-1 otherwise).
inline std::string taggedEntry(int k) {
  return {'\xF0', 0x7D, static_cast<char>(k / 128), static_cast<char>(k % 128), '\xF7'};
}
inline int entryOf(const midi::Bytes& m) {
  return m.size() == 5 && m[0] == 0xF0 && m[1] == 0x7D && m[4] == 0xF7 ? m[2] * 128 + m[3] : -1;
}
inline StopsTable taggedTable() {
  StopsTable t;
  for (int k = 0; k < kStopsTableSize; ++k) t[k] = taggedEntry(k);
  for (int i = 10; i <= 99; ++i) t[i + 104] = "Stop " + std::to_string(i);
  t[205] = "PEDAL", t[206] = "GREAT ORGAN", t[207] = "SWELL ORGAN";
  return t;
}

// A built-in synthesizer's settings that take any choice.
struct StubSynth : midi::BuiltInSynthControl {
  midi::SynthChoice saved(std::string&) override { return {"auto", ""}; }
  std::vector<std::string> audioDrivers() override { return {"auto", "pulseaudio", "alsa"}; }
  std::string soundfontFile(const midi::SynthChoice&) override {
    return "/usr/share/sounds/sf2/default-GM.sf2";
  }
  bool apply(const midi::SynthChoice&, std::string&) override { return true; }
};

class ConsoleTest : public ::testing::Test {
 public:
  ConsoleTest() {
    char pattern[] = "/tmp/kalvant-test-XXXXXX";
    dir = ::mkdtemp(pattern), restart();
    out.onSent = [this](const midi::Bytes& b) { sent.push_back({loop.time, b}); };
    in1.liveOut = &out, in2.liveOut = &out;  // as on JACK: routed where the driver can
  }
  ~ConsoleTest() override { k.reset(), std::filesystem::remove_all(dir); }
  void TestBody() override {}  // usable as a plain object inside a test

  std::string dir;  // the program directory
  FakeLoop loop;
  ScriptedUser user;
  midi::MemoryMidiInput in1{{"Keyboard A", "Keyboard B"}, loop.post()};
  midi::MemoryMidiInput in2{{"Keyboard A", "Keyboard B"}, loop.post()};
  midi::MemoryMidiOutput out{{"GS Module", "Synth"}, loop.post()};
  std::unique_ptr<Console> k;
  struct Stamped {
    long time;
    midi::Bytes bytes;
  };
  std::vector<Stamped> sent;  // every message the output sent, with its time

  void restart(midi::BuiltInSynthControl* synth = nullptr) {  // a new console, same world
    k = std::make_unique<Console>(ConsoleWorld{user, loop, in1, in2, out, dir, synth});
    loop.onTimer = [this] { k->Timer1_Timer(); };
  }
  std::string path(const std::string& name) const { return dir + "/" + name; }
  void writeFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  std::string readFile(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }
  void writeTable(const std::string& name, const StopsTable& table) const {
    std::string error;
    ASSERT_TRUE(writeDatFile(path(name), table, error)) << error;
  }
  void writeFixed(const std::vector<Registration>& records) const {  // "fixed.fix"
    MemoryFileData fixed;
    std::string error;
    fixed.records = records;
    ASSERT_TRUE(writeMemoryFile(path("fixed.fix"), fixed, error)) << error;
  }
  std::vector<int> sentEntries() const {  // the entry of every message sent so far
    std::vector<int> entries;
    for (const Stamped& s : sent) entries.push_back(entryOf(s.bytes));
    return entries;
  }
  std::vector<midi::Bytes> bytesSent() const {
    std::vector<midi::Bytes> b;
    for (const Stamped& s : sent) b.push_back(s.bytes);
    return b;
  }
  void openOutput() {
    out.selectDevice(0);
    ASSERT_TRUE(out.open());
  }
  // KALVANT.CFG naming these devices (2 is "No device"), the table kalvant.dat.
  void writeCfg(i16 in1, i16 in2, i16 outDev) const {
    CfgData cfg;
    cfg.settings.DatFilePath = path("kalvant.dat");
    cfg.settings.InDev1 = in1, cfg.settings.InDev2 = in2, cfg.settings.OutDev = outDev;
    cfg.fixedMemories.fill(kInitialRegistration);
    writeFile("KALVANT.CFG", serialiseCfg(cfg));
  }
  void startWith(i16 in1, i16 in2, i16 outDev) {  // start-up with writeCfg's file, reset sent
    writeCfg(in1, in2, outDev), writeTable("kalvant.dat", taggedTable()), k->Form_Load();
    loop.drain();
  }
  void startPlaying() {  // tagged table, output open, reset sent, nothing recorded
    k->stopsTable.table() = taggedTable(), openOutput(), k->RESET_Click(), loop.drain();
    sent.clear();
  }
};

}  // namespace kalvant::test

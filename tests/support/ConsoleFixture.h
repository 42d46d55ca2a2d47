#pragma once
// A console wired to in-memory MIDI ports, a scripted user, a fake clock and
// a temporary program directory.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "console/Console.h"
#include "midi/MemoryMidi.h"
#include "support/FakeLoop.h"

namespace kalvant::test {

// A stops table whose sysex entry k is the one message F0 7D k/128 k%128 F7,
// so every message the module receives names the entry it came from.
StopsTable taggedTable();
std::string taggedEntry(int k);
// The entry a tagged message came from, or -1.
int entryOf(const midi::Bytes& message);

class ConsoleTest : public ::testing::Test {
 public:
  ConsoleTest();
  ~ConsoleTest() override;

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

  std::string path(const std::string& name) const { return dir + "/" + name; }
  void writeFile(const std::string& name, const std::string& bytes) const;
  std::string readFile(const std::string& name) const;
  bool exists(const std::string& name) const;
  void writeTable(const std::string& name, const StopsTable& table) const;
  // The entry index of every message sent so far (-1 for untagged ones).
  std::vector<int> sentEntries() const;
  void openOutput();
  // KALVANT.CFG naming these devices (2 is "No device"), the table kalvant.dat.
  void writeCfg(i16 in1, i16 in2, i16 outDev) const;
  // Start-up with writeCfg's file and a tagged table.
  void startWith(i16 in1, i16 in2, i16 outDev);
  // A console ready to play: a tagged table, the output open, reset done,
  // nothing recorded yet.
  void startPlaying();
  // The bytes of every message sent so far.
  std::vector<midi::Bytes> bytesSent() const;
};

}  // namespace kalvant::test

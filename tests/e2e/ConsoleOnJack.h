#pragma once
// The real kalvant program between two keyboards and a recording module on a
// JACK server. A scenario plays messages into one input and compares, in
// order, everything the module received with what a player expects.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "harness/JackClients.h"
#include "harness/KalvantProcess.h"

namespace kalvant::e2e {

// Messages are written as the module would log them: "90 3C 64" in hex, or
// "entry 13" for the tagged sysex of stops-table entry 13.
Bytes parseMessage(const std::string& text);
std::string describe(const Bytes& message);
std::vector<std::string> describeAll(const std::vector<Stamped>& messages);

// One step of a scenario: what is played into input A (0) or B (1), and
// everything the module must receive for it, in order.
struct Step {
  std::string what;
  int input;
  std::vector<std::string> play;
  std::vector<std::string> expected;
};

// The fixed memories the scenarios recall by key (memory 13 is key 72):
// 13 Great to Swell, 14 Swell to Great, 15 Pedal to Great, 16 Pedal to
// Swell, 17 the Swell active with Swell to Great, 18 Great stop 11, Swell
// stop 11, Pedal stop 11 (entries 20, 60, 90) and the Great at volume 100.
void putScenarioMemories(CfgData& cfg);

class JackE2E : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the program files (tagged table, the scenario memories, the
  // keyboards and the module selected; `adjust` may change settings),
  // starts kalvant and waits for its start-up reset. Returns what the
  // module received up to the moment both inputs answered.
  std::vector<Stamped> start(const std::function<void(CfgData&)>& adjust = {});
  // Plays into an input, then a fence message that kalvant forwards
  // unchanged, and returns everything before the fence.
  std::vector<Stamped> play(int input, const std::vector<std::string>& messages);
  void runSteps(const std::vector<Step>& steps);
  // SIGTERM; returns what the module received until kalvant ended.
  std::vector<Stamped> shutdown(int& exitCode);

  std::unique_ptr<TempDir> dir_;
  std::unique_ptr<Keyboard> keysA_, keysB_;
  std::unique_ptr<Recorder> module_;
  KalvantProcess kalvant_;
  CfgData cfg_;
};

}  // namespace kalvant::e2e

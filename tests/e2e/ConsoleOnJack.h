#pragma once
// The real kalvant program between two keyboards and a recording module on a
// JACK server. Messages are written as the module would log them, comma
// separated: "90 3C 64" in hex, "entry 13" for tagged sysex entry 13.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "harness/JackClients.h"
#include "harness/KalvantProcess.h"

namespace kalvant::e2e {

std::string describeAll(const std::vector<Stamped>& messages);

// Played into input A (0) or B (1), and everything the module must receive, in order.
struct Step {
  std::string what;
  int input;
  std::string play, expected;
};

class JackE2E : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Writes the program files (tagged table, our ports, then `adjust`) and starts kalvant.
  void launch(const std::function<void(CfgData&)>& adjust);
  // Launches with the scenario memories; returns the start-up reset.
  std::vector<Stamped> start(const std::function<void(CfgData&)>& adjust = {});
  // Plays, then a fence kalvant forwards unchanged; returns everything before it.
  std::vector<Stamped> play(int input, const std::string& messages);
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

// The memory sequencer's entry points and its Setup choice.

#include "console/Console.h"
#include "registration/MemorySequence.h"

namespace kalvant {

void Console::Sequencer_Next() {
  Sequencer_Step(1);
}
void Console::Sequencer_Previous() {
  Sequencer_Step(-1);
}

// A fixed memory is recalled as its bar is clicked, a free one as its LED.
void Console::Sequencer_Step(int direction) {
  if (ended_) return;
  const int memory = memoryAfter(registration_.sequencePosition(), direction);
  if (memory >= kFirstFixedMemory) return Graduatore_Click(memory - 12);
  c_memory_Click(memory);
}

void Console::FootSwitches_Click(bool on) {
  footSwitchesChosen_ = on;
  panelChanged();
}

void Console::readSequencerSetting() {
  footSwitchesChosen_ = routing::readFootSwitchSetting(programFile(routing::kSequencerFileName));
  router_.setFootSwitches(footSwitchesChosen_);
}

void Console::saveSequencerSetting() {
  if (footSwitchesChosen_ == router_.footSwitches()) return;
  router_.setFootSwitches(footSwitchesChosen_);
  std::string error;
  if (!routing::writeFootSwitchSetting(programFile(routing::kSequencerFileName),
                                       footSwitchesChosen_, error)) {
    tell("The foot switch setting is in effect but could not be saved: " + error,
         MessageIcon::Exclamation);
  }
}

}  // namespace kalvant

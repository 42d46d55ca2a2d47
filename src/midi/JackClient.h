#pragma once
// What the back-end's JACK clients share (internal to src/midi).

#include <memory>
#include <string>

#include "midi/MidiPort.h"

namespace kalvant::midi {

// The clients kalvant opens: two inputs and the output.
inline constexpr const char* kClientNames[] = {"kalvant-in1", "kalvant-in2", "kalvant-out"};

// The console's own ports appear in every client's list; they are never
// offered as devices.
bool isOwnPort(const std::string& name);

// Keeps libjack from printing to the terminal (probes fail on purpose).
void quietJack();

// An input on its own JACK client, named kClientNames[clientIndex]. Its
// device list is every JACK MIDI output port but the console's own, in
// the server's order (the order KALVANT.CFG's positions refer to).
std::unique_ptr<MidiInput> createJackInput(const Post& post, int clientIndex);

}  // namespace kalvant::midi

#pragma once
// The console's JACK side (internal to src/midi): one client named
// "kalvant" with the MIDI ports in1, in2 (inputs) and out (output), written
// on libjack. The three port objects share it; it closes when the last of
// them goes.

#include <string>

#include "midi/RtMidiBackend.h"

namespace kalvant::midi {

// The name the console asks for, on JACK and on the ALSA sequencer alike.
inline constexpr const char* kClientName = "kalvant";
// The console's ports, in the order in1, in2, out.
inline constexpr const char* kPortNames[] = {"in1", "in2", "out"};

// The console's own ports appear in every list; they are never offered as
// devices. `client` is the name the system gave the console's client.
bool isOwnPort(const std::string& name, const std::string& client = kClientName);

// Keeps libjack from printing to the terminal (probes fail on purpose, and
// a stopped server makes it complain).
void quietJack();

// The three ports of the console's JACK client. When no server answers the
// lists stay empty and the output reports it as a warning.
PortSet createJackPorts(const Post& post);

}  // namespace kalvant::midi

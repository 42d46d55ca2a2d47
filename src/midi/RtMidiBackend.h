#pragma once
// Real MIDI ports on the ALSA sequencer (RtMidi's) or on JACK (one client
// of the console's own on libjack, JackClient.h).

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "midi/MidiPort.h"

namespace kalvant::midi {

enum class Api { None, Alsa, Jack };

// "alsa", "jack" or "none".
std::optional<Api> parseApi(std::string_view name);
std::string_view apiName(Api api);

// ALSA when the sequencer device can be opened, else JACK when a server
// answers, else no MIDI at all. Probing prints nothing.
Api detectApi();

// The API the console plays on: the one asked for when it can be reached,
// else none; with no request, detectApi(). Each API is probed once.
Api chooseApi(std::optional<Api> requested);

// True when a JACK server answers; never starts one and prints nothing.
bool jackServerRunning();

struct PortSet {
  std::unique_ptr<MidiInput> input1;
  std::unique_ptr<MidiInput> input2;
  std::unique_ptr<MidiOutput> output;
};

// The console's three ports, on an API that can be reached (chooseApi).
// With Api::None each list is empty and nothing is ever opened. On JACK they
// are the ports in1, in2 and out of one client, which lives as long as the
// longest-living of the three.
PortSet createRtMidiPorts(Api api, const Post& post);

// An ALSA port's name as RtMidi gives it, without the client and port
// numbers it appends ("Keys:Keys MIDI 1 20:0" -> "Keys:Keys MIDI 1"): those
// change from one session to the next, the name does not.
std::string stableAlsaName(const std::string& rtMidiPortName);

}  // namespace kalvant::midi

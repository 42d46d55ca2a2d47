#pragma once
// Real MIDI ports through RtMidi, on the ALSA sequencer or on JACK.

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

struct PortSet {
  std::unique_ptr<MidiInput> input1;
  std::unique_ptr<MidiInput> input2;
  std::unique_ptr<MidiOutput> output;
};

// The console's three ports. With Api::None (or when the API cannot be
// reached) each list is empty and nothing is ever opened.
PortSet createRtMidiPorts(Api api, const Post& post);

}  // namespace kalvant::midi

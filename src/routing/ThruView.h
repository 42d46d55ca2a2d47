#pragma once
// What the "MIDI Thru Mode" dialog shows: the chosen mode, the description
// of each mode lit when it is active, the three learned-channel fields.

#include <array>

#include "view/Views.h"

namespace kalvant::routing {

struct ThruView {
  bool visible = false;
  int optionSelected = 0;  // 0 none, 1 normal, 2 fixed
  Lamp noneLamp = Lamp::Unlit, normalLamp = Lamp::Unlit, fixedLamp = Lamp::Unlit;
  std::array<ButtonView, 3> learnedChannelFields;  // Great, Swell, Pedal
  bool operator==(const ThruView&) const = default;
};

}  // namespace kalvant::routing

#pragma once
// What the registration shows: the stop buttons, the division and coupler
// buttons, the memory row (REC, CLEAR, the twelve memory LEDs with their
// labels, the label mode button, the fixed-memory bar) and the memory file
// line of the status bar.

#include <array>

#include "view/Views.h"

namespace kalvant {

struct CombinationsView {
  std::array<ButtonView, 100> stopButtons;  // 10..99
  ButtonView greatDivision, swellDivision, pedalDivision;
  // The manual coupler's two settings and the pedal coupler's two.
  ButtonView swellToGreat, greatToSwell, greatToPedal, swellToPedal;
  ButtonView recButton, clearButton, labelModeButton;
  std::array<PictureView, 13> memoryLeds;     // 1..12
  std::array<LabelView, 13> memoryLabels;     // 1..12
  std::array<ButtonView, 13> fixedMemoryBar;  // 1..12
  LabelView memoryFileText;
  MenuItemView undo;  // Edit > Undo
  bool operator==(const CombinationsView&) const = default;
};

}  // namespace kalvant

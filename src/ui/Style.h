#pragma once
// The console's style sheet.
//
// Lamp colours: a lit stop glows amber with bold lettering, like the lamp
// of a drawn stop, so it reads at a glance and without colour vision; an
// unlit one is the console's grey; an inactive division or memory is darker.
// A stop the table leaves undefined recedes into the jamb. Group titles
// (the division names) are bold; what they hold is not, unless lit.
//
// The control with the keyboard focus wears a blue frame. A button's frame
// takes its second pixel from the padding, and the LEDs and sliders always
// wear a frame, clear without the focus: a control keeps its size when the
// focus comes and goes.

namespace kalvant::ui {

inline constexpr const char* kStyle = R"(
QPushButton { border: 1px solid #6b6b6b; border-radius: 3px; padding: 3px 6px; }
QPushButton[lamp="lit"] { background-color: #ffc247; color: #1c1400; border-color: #8a5a00;
                          font-weight: bold; }
QPushButton[lamp="unlit"] { background-color: #d6d3cc; color: #1a1a1a; }
QPushButton[lamp="inactive"] { background-color: #8e8e8e; color: #f0f0f0; }
QPushButton:disabled { background-color: #e4e1da; color: #9a9a9a; border: 1px dashed #bdb8ad; }
QPushButton[role="stop"] { padding: 3px 4px; }
QPushButton[role="bar"] { padding: 0; border-radius: 1px; }
QPushButton[role="bar"][lamp="lit"] { background-color: #f2b600; }
QPushButton[role="division"] { font-weight: bold; padding: 5px; }
QPushButton:focus { border: 2px solid #1659c7; padding: 2px 5px; }
QPushButton[role="stop"]:focus { padding: 2px 3px; }
QPushButton[role="bar"]:focus { border: 2px solid #1659c7; padding: 0; }
QPushButton[role="division"]:focus { padding: 4px; }
QToolButton[role="led"] { border: 2px solid transparent; border-radius: 3px; }
QToolButton[role="led"]:hover { border-color: #9a9a9a; }
QToolButton[role="led"]:focus { border-color: #1659c7; }
QSlider { border: 1px solid transparent; }
QSlider:focus { border-color: #1659c7; }
QGroupBox { font-weight: bold; }
QGroupBox * { font-weight: normal; }
)";

}  // namespace kalvant::ui

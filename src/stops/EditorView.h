#pragma once
// What the stops table editor window shows: 116 text fields over the table's
// names and labels, coloured by the state of the sysex entry behind them, the
// length and index displays, the status line, and the hidden system frame.

#include <array>
#include <cstdint>
#include <string>

namespace kalvant {

// Colours of the editor's legend, as 0xRRGGBB.
using Rgb = std::uint32_t;
inline constexpr Rgb kEmptySysex = 0xFFFFFF;       // white: "Empty Sysex"
inline constexpr Rgb kFullSysex = 0xC0C0C0;        // grey: "Full "
inline constexpr Rgb kCurrentSelected = 0xFF8080;  // light red: "Current Selected"
inline constexpr Rgb kModifiedNow = 0xFFFF00;      // yellow: "Modified now"

inline constexpr int kEditorFields = 116;
// Division name fields, not coloured by the editor.
inline constexpr int kPedalNameField = 113;
inline constexpr int kGreatNameField = 114;
inline constexpr int kSwellNameField = 115;

struct EditorFieldView {
  std::string text;  // UTF-8; the table's Windows-1252 name decoded
  Rgb color = kEmptySysex;
  std::string tooltip;
  bool operator==(const EditorFieldView&) const = default;
};

struct EditorView {
  bool visible = false;
  int raises = 0;  // grows each time the console asks to bring the window forward
  std::string iconPath;
  std::array<EditorFieldView, kEditorFields> fields;
  std::string lengthText;    // sysex length: "n Bytes"
  std::string selectedText;  // the selected field's index
  std::string statusText;    // status line
  Rgb statusColor = kEmptySysex;
  bool systemFrameShown = false;  // the system entries, revealed by Ctrl+F9 four times
  int page = 0;                   // the page shown: 0 PEDAL SWELL, 1 GREAT, 2 GLOBAL SETTINGS
  bool operator==(const EditorView&) const = default;
};

}  // namespace kalvant

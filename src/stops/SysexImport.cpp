// Importing a raw sysex file into the selected entry of the stops table.
// Nothing is sent: the console sends the new bytes the next time it sends
// that entry.

#include "stops/StopsTableEditor.h"
#include "stops/SysexFile.h"

namespace kalvant {

namespace {
constexpr std::size_t kShortestSysex = 3;  // F0, one byte, F7
}  // namespace

void StopsTableEditor::Command2_Click() {
  Caricamento_sysex_binary();
}

void StopsTableEditor::Text1_DblClick(int Index) {
  Text1_Click(Index);
  Caricamento_sysex_binary();
}

// The whole file first; the entry is replaced only once every byte is in.
bool StopsTableEditor::readSysexFile(const std::string& path, std::string& bytes) {
  std::string error;
  if (kalvant::readSysexFile(path, bytes, error)) return true;
  tell("The sysex file could not be imported: " + error + ". Entry " +
           std::to_string(selectedField_) + " is unchanged.",
       MessageIcon::Exclamation);
  return false;
}

void StopsTableEditor::Caricamento_sysex_binary() {
  std::string path;
  if (files_.OpenDialog("Load Sysex File", kSysexExtension, path) != 0) return;
  std::string bytes;
  if (!readSysexFile(path, bytes)) return;
  if (selectedField_ < 0 || selectedField_ >= kStopsTableSize) return;
  table_[static_cast<std::size_t>(selectedField_)] = bytes;
  showLength(bytes.size());
  // The field keeps this colour when another one is selected.
  const Rgb color = bytes.size() < kShortestSysex ? kEmptySysex : kModifiedNow;
  setColor(selectedField_, color);
  markedField_ = selectedField_;
  markedFieldColor_ = color;
  modified_ = true;
  setStatus("Warning: modified and not saved.", kModifiedNow);
}

}  // namespace kalvant

// Importing a raw sysex file into the selected entry of the stops table.
// Nothing is sent: the console sends the new bytes the next time it sends
// that entry.

#include <filesystem>

#include "common/FileIo.h"
#include "stops/StopsTableEditor.h"

namespace kalvant {

namespace {
// The longest file an entry takes: older DAT tools count entry bytes in a
// signed 16-bit number that must also reach one past the last byte.
constexpr std::uintmax_t kMaxSysexFile = 32766;
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
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxSysexFile) {
    tell("The sysex file " + path + " holds " + std::to_string(size) +
             " bytes; a stops table entry takes at most " + std::to_string(kMaxSysexFile) +
             " bytes. Entry " + std::to_string(selectedField_) + " is unchanged.",
         MessageIcon::Exclamation);
    return false;
  }
  std::string error;
  // A size the file system could not give (a folder, a FIFO) is left to the
  // reader, which refuses such a path and says why.
  if (!readWholeFile(path, bytes, error) || bytes.size() > kMaxSysexFile) {
    if (error.empty()) error = "\"" + path + "\" grew while it was read";
    tell("The sysex file could not be read: " + error + ". Entry " +
             std::to_string(selectedField_) + " is unchanged.",
         MessageIcon::Exclamation);
    return false;
  }
  return true;
}

void StopsTableEditor::Caricamento_sysex_binary() {
  std::string path;
  if (files_.OpenDialog("Load Sysex File", ".syx", path) != 0) return;
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

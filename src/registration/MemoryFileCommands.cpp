// Saving and loading the free memories in memory files (".sqs").

#include "common/FileIo.h"
#include "registration/Combinations.h"
#include "registration/MemoryFileFormat.h"

namespace kalvant {

void Combinations::savefile_Click() {
  std::string file;
  if (hooks_.saveDialog("Save Memories", ".sqs", file) != 0) return;
  const Settings& cfg = settings_;
  MemoryFileData data{fileNameOf(cfg.DatFilePath),
                      cfg.GreatTemperament,
                      cfg.TremoloValue,
                      cfg.TremoloController,
                      cfg.ReverbType,
                      cfg.MemoryLabelMode,
                      {}};
  for (int m = kFirstFreeMemory; m < kFirstFreeMemory + kMemoriesPerFile; ++m) {
    data.records.push_back(bank_.memory(m));
  }
  std::string error;
  if (!writeMemoryFile(file, data, error)) {
    hooks_.tell("The memories could not be saved: " + error + ". Free memories are still unsaved.",
                MessageIcon::Critical);
    return;
  }
  set<std::string>(view_.memoryFileText.text, "Memories saved in: " + file);
  freeMemoriesUnsaved_ = false;
  undo_.freeMemoriesUnsaved = true;  // the file holds what an undo would replace
}

void Combinations::Loadfile_Click() {
  if (freeMemoriesUnsaved_ &&
      !hooks_.ask("The free memories are not saved; loading will erase them. Continue anyway?"))
    return;
  std::string file;
  if (hooks_.openDialog("Load Memories", ".sqs", file) != 0) return;
  // The whole file is checked before anything changes: a damaged file
  // leaves the memories and settings as they were.
  const MemoryFileReadResult read = readMemoryFile(file);
  if (!read.ok) {
    hooks_.tell("The memories could not be loaded: " + read.error +
                    ". The memories keep their previous values.",
                MessageIcon::Exclamation);
    return;
  }
  const MemoryFileData& d = read.data;
  settings_.GreatTemperament = settings_.SwellTemperament = settings_.PedalTemperament =
      d.temperament;
  settings_.TremoloValue = d.tremoloValue;
  settings_.TremoloController = d.tremoloController;
  settings_.ReverbType = d.reverbType;
  settings_.MemoryLabelMode = d.memoryLabelMode;
  int slot = kFirstFreeMemory;
  for (const Registration& r : d.records) {
    if (slot >= kFirstFixedMemory) break;  // the fixed memories are never touched
    bank_.memory(slot++) = r;
  }
  set<std::string>(view_.memoryFileText.text, "Memories loaded from: " + file);
  if (!read.ignored.empty()) hooks_.tell(read.ignored, MessageIcon::Exclamation);
  sound_.Aggiusta_Check_Menu();
  Scrivi_Label_memorie();
  if (d.datFileName != fileNameOf(settings_.DatFilePath)) {
    hooks_.tell("Warning! These memories were stored with the stops table " + d.datFileName +
                    ", which kalvant is not playing. Load and enable that table in the stops table "
                    "editor, or the memories will recall the wrong stops.",
                MessageIcon::None);
  }
  hooks_.reset();
  c_memory_Click(1);
  forgetUndo();  // the memories before the file are gone for good
}

}  // namespace kalvant

// Saving and loading the free memories in memory files (".sqs").

#include "console/Console.h"
#include "registration/MemoryFileFormat.h"

namespace kalvant {

void Console::savefile_Click() {
  std::string file;
  if (SaveDialog("Save memories in file", ".sqs", file) != 0) return;
  const Settings& set = s.settings;
  MemoryFileData data{Estrae_nome(set.DatFilePath),
                      set.GreatTemperament,
                      set.TremoloValue,
                      set.TremoloController,
                      set.ReverbType,
                      set.MemoryLabelMode,
                      {}};
  for (int m = kFirstFreeMemory; m < kFirstFreeMemory + kMemoriesPerFile; ++m) {
    data.records.push_back(s.bank.memory(m));
  }
  std::string error;
  if (!writeMemoryFile(file, data, error)) {
    tell("The memories could not be saved: " + error + ". Free memories are still unsaved.",
         MessageIcon::Critical);
    return;
  }
  panel.setText(panel.Label_filememory, "Memory saved on:" + file);
  s.FreeMemoriesUnsaved = false;
}

void Console::Loadfile_Click() {
  if (s.FreeMemoriesUnsaved &&
      !ask("Free memories unsaved: loading will erase them. Continue anyway ?"))
    return;
  std::string file;
  if (OpenDialog("Load memories from file", ".sqs", file) != 0) return;
  // The whole file is checked before anything changes: a damaged file
  // leaves the memories and settings as they were.
  const MemoryFileReadResult read = readMemoryFile(file);
  if (!read.ok) {
    tell("The memories could not be loaded: " + read.error +
             ". The memories keep their previous values.",
         MessageIcon::Exclamation);
    return;
  }
  const MemoryFileData& d = read.data;
  s.settings.GreatTemperament = s.settings.SwellTemperament = s.settings.PedalTemperament =
      d.temperament;
  s.settings.TremoloValue = d.tremoloValue;
  s.settings.TremoloController = d.tremoloController;
  s.settings.ReverbType = d.reverbType;
  s.settings.MemoryLabelMode = d.memoryLabelMode;
  int slot = kFirstFreeMemory;
  for (const Registration& r : d.records) {
    if (slot >= kFirstFixedMemory) break;  // the fixed memories are never touched
    s.bank.memory(slot++) = r;
  }
  panel.setText(panel.Label_filememory, "Memory from:" + file);
  if (!read.ignored.empty()) tell(read.ignored, MessageIcon::Exclamation);
  Aggiusta_Check_Menu();
  Scrivi_Label_memorie();
  if (d.datFileName != Estrae_nome(s.settings.DatFilePath)) {
    tell("Warning! kalvant is not configured with file : " + d.datFileName +
             "  , as required from this memory combination. Please enter on kalvant EDITOR and "
             "load requested DAT file, or your stops combinations would be incorrect.",
         MessageIcon::None);
  }
  RESET_Click();
  c_memory_Click(1);
}

}  // namespace kalvant

// The configuration file "KALVANT.CFG": read once at start-up, written at
// exit and by a few commands.

#include <filesystem>

#include "common/FileIo.h"
#include "console/CfgFile.h"
#include "console/Console.h"
#include "registration/MemoryFile.h"

namespace kalvant {

void Console::READ_FILE_AVVIO() {
  const CfgReadResult r = readCfgFile(s.CfgPath);
  if (r.ok) {
    s.settings = r.data.settings;
    for (int j = 0; j < 12; ++j) s.comb.setSlot(kFirstFixedMemory + j, r.data.fixedMemories[j]);
    panel.setText(panel.Label_fileDAT, "Stops Table: " + s.settings.DatFilePath);
    return;
  }

  // Defaults for every setting but the learned thru channels, which keep
  // what could be read.
  Settings d;
  d.DatFilePath = programFile("kalvant.dat");
  d.InDev1 = s.NoDeviceIn1;
  d.InDev2 = s.NoDeviceIn2;
  d.OutDev = s.NoDeviceOut;
  d.FixedChannel = s.settings.FixedChannel;
  for (int i = 0; i < 3; ++i) {
    if (r.linesRead >= kCfgFixedChannelLine + i)
      d.FixedChannel[i] = r.data.settings.FixedChannel[i];
  }
  s.settings = d;
  // A fixed memory read whole stays; the others start as the initial
  // registration, so every fixed memory recalls something playable.
  for (int j = 0; j < 12; ++j) {
    const bool whole = r.linesRead >= kCfgSettingLines + 10 * (j + 1);
    s.comb.setSlot(kFirstFixedMemory + j, whole ? r.data.fixedMemories[j] : kInitialRegistration);
  }
  tell("Midi devices are unassigned : go to Setup !", MessageIcon::Exclamation);
  readFixedMemoryFile();
}

// The factory fixed memories: records fill slots 13, 14, ... in order, never
// past 24. A missing file leaves the fixed memories as they are; a damaged
// one is refused whole, with the line that is wrong.
void Console::readFixedMemoryFile() {
  const std::string path = programFile("fixed.fix");
  if (!std::filesystem::exists(path)) return;
  const MemoryFileReadResult fixed = readMemoryFile(path);
  if (!fixed.ok) {
    tell("The fixed memories could not be read: " + fixed.error, MessageIcon::Exclamation);
    return;
  }
  int slot = kFirstFixedMemory;
  for (const Registration& record : fixed.data.records) {
    if (slot > kLastMemory) break;
    s.comb.setSlot(slot++, record);
  }
}

void Console::Salva_dati_di_avvio() {
  if (s.FixedSaveRequested) {
    for (int i = 1; i <= 12; ++i) s.comb.setSlot(i + 12, s.comb.slot(i));
    tell("FIXED MEMORY OVERWRITTEN!", MessageIcon::None);
    s.FixedSaveRequested = false;
  }
  CfgData data{s.settings, {}};
  for (int j = 0; j < 12; ++j) data.fixedMemories[j] = s.comb.slot(kFirstFixedMemory + j);
  std::string error;
  if (!replaceFileAtomically(s.CfgPath, serialiseCfg(data), error)) {
    tell("The configuration could not be saved (" + error + "). The previous " + s.CfgPath +
             " is unchanged.",
         MessageIcon::Critical);
  }
}

void Console::EnableCFG_Click() {
  const bool on = !panel.checked("EnableCFG");
  panel.check("EnableCFG", on);
  s.settings.SaveCfgOnExit = on ? 1 : 0;
  // Written at once, so that switching saving off is itself remembered.
  Salva_dati_di_avvio();
}

}  // namespace kalvant

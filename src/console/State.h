#pragma once
// The console's program-wide state: settings kept in the configuration file,
// the combination memories, the stops table and the flags of the console.
// Every handler reads and writes it on the one GUI thread.

#include <array>
#include <cstdint>
#include <string>

#include "registration/MemoryBank.h"
#include "stops/StopsTable.h"

namespace kalvant {

using i16 = std::int16_t;

// Settings of the configuration file, with the values the console uses when
// that file cannot be read.
struct Settings {
  i16 NoteDelay = 100;
  std::string DatFilePath;  // set from the program directory at start-up
  i16 InDev1 = 0, InDev2 = 0, OutDev = 0;
  i16 GreatTemperament = 0, SwellTemperament = 0, PedalTemperament = 0;
  i16 TremoloValue = 100;
  i16 TremoloController = 0;
  i16 ReverbType = 0;
  i16 ThruMode = 0;
  std::array<i16, 4> FixedChannel{};
  i16 SysexDelay = 0;
  i16 MemoryLabelMode = 1;
  i16 SlidersCoupled = 0;
  i16 SaveCfgOnExit = 1;
};

struct ConsoleState {
  Settings settings;
  MemoryBank bank;
  kalvant::StopsTable StopsTable;

  // Device-list positions of "No device" (the number of devices found).
  i16 NoDeviceIn1 = 0, NoDeviceIn2 = 0, NoDeviceOut = 0;

  // Flags of the console, named after the procedures that own them.
  bool FixedSaveRequested = false;
  bool DeviceListsReady = false;
  bool ChannelCapture = false;
  i16 CaptureField = 0;
  bool CommandArmed = false;
  bool BendSwitchLatch = false;
  bool RecArmed = false;
  bool LedGreen = false;
  i16 CurrentMemory = 1;
  bool FreeMemoriesUnsaved = false;
  i16 SavedSysexDelay = 0, SavedNoteDelay = 0;  // the delays when setup opened
  i16 TremoloValueBackup = 0;                   // the rate when its dialog opened
  i16 ThruModeBefore = 0;                       // the thru mode when its dialog opened
  i16 StopNumberTens = 0, StopNumberUnits = 0;  // a stop chosen by number with the pedal held
  bool StopNumberPending = false;

  // Where each held key's note-on went, per input, input channel and key:
  // the low byte is the division channel + 1, the high byte the coupler
  // duplicate's channel + 1 (0 = none). Its release goes to exactly these
  // channels, whatever the routing has become since. 0xFFFF: the note was
  // released when its output closed, and the key's own release is dropped.
  std::array<std::array<std::array<std::uint16_t, 128>, 16>, 2> heldNotes{};

  // Paths built at start-up from the program directory.
  std::string CfgPath, LedGreenOnPath, LedGreenOffPath, LedYellowOnPath;
};

}  // namespace kalvant

#pragma once
// The console's settings, as the configuration file KALVANT.CFG keeps them,
// with the values the console uses when that file cannot be read. The
// console owns the one record; parts that read or change a setting are
// given it by reference.

#include <array>
#include <cstdint>
#include <string>

namespace kalvant {

using i16 = std::int16_t;

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

}  // namespace kalvant

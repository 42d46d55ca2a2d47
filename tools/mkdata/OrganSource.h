#pragma once
// The organ as the stop list describes it: divisions, stops made of ranks
// (one GS part each), the module set-ups, reverbs and temperaments.

#include <array>
#include <map>
#include <string>
#include <vector>

#include "Gs.h"
#include "SourceText.h"
#include "stops/StopsTable.h"

namespace kalvant::mkdata {

// How the module's LFO shapes the tremulant that the console switches on
// with CC1: vibrato rate/depth/delay as offsets -50..+50, the modulation
// wheel's pitch and amplitude depths 0..127.
struct Tremulant {
  int rate = 0;
  int depth = 0;
  int delay = 0;
  int pitch = 10;
  int amplitude = 0;
};

// One rank: one part sounding a tone at a pitch.
struct Rank {
  Where where;
  Tone tone{0, 19};
  int keyShift = 0;
  int level = 100;
  int pan = 0;  // -63 (left) .. +63 (right)
  int reverb = 64;
  int chorus = 0;
  int channel = 0;  // 1..16, only for the parts of a set-up
};

enum class DivisionId { Great = 0, Swell = 1, Pedal = 2 };
inline constexpr int kDivisions = 3;
// The words a source uses for the divisions, and each one's stop entries.
inline constexpr std::array<const char*, kDivisions> kDivisionKeys{"great", "swell", "pedal"};
inline constexpr std::array<std::array<int, 2>, kDivisions> kStopRanges{
    {{entry::kFirstGreatStop, entry::kFirstSwellStop - 1},
     {entry::kFirstSwellStop, entry::kFirstPedalStop - 1},
     {entry::kFirstPedalStop, entry::kLastStop}}};

struct Division {
  Where where;
  bool present = false;
  std::string name;  // Latin-1
  int channel = 0;
  std::vector<int> parts;
  Rank defaults;  // level, pan, sends of a rank that does not say them
  Tremulant tremulant;
  int firstStop = 0;
};

struct Stop {
  Where where;
  int index = 0;
  DivisionId division = DivisionId::Great;
  std::string name;  // Latin-1
  Tremulant tremulant;
  std::vector<Rank> ranks;
};

// One line of a set-up entry, in the order written.
struct SetupItem {
  enum class Kind { Layout, Part, PartOff, ChorusType } kind = Kind::Part;
  Where where;
  int part = 0;
  Rank rank;
  DivisionId division = DivisionId::Great;
  std::uint8_t chorusMacro = 0;
};

struct Setup {
  Where where;
  int entry = 0;
  std::string label;
  std::vector<SetupItem> items;
};

struct Reverb {
  Where where;
  int entry = 0;
  std::string label;
  std::uint8_t macro = 4, level = 64, time = 64;
};

struct Temperament {
  Where where;
  std::string name;
  std::array<double, 12> cents{};  // C, C#, D, ... B from equal temperament
};

inline constexpr int kTemperaments = 4;

struct Organ {
  std::string display = "kalvant";
  std::string identificationLabel;
  std::string resetLabel;
  std::array<Division, kDivisions> divisions;
  std::vector<Setup> setups;
  std::vector<Reverb> reverbs;
  std::array<Temperament, kTemperaments> temperaments;
  std::array<bool, kTemperaments> temperamentPresent{};
  std::map<int, Stop> stops;
};

inline constexpr std::size_t kMaxStopNameChars = 14;

// Parses and checks the whole stop list; throws SourceError naming the file
// and line of the first fault.
Organ parseOrgan(const std::string& bytes, const std::string& path);

}  // namespace kalvant::mkdata

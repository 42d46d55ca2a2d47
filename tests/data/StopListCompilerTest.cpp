// kalvant-mkdata's compiler: exact GS bytes, and faulty sources failing at the right line.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "FixedMemories.h"
#include "Gs.h"
#include "OrganSource.h"
#include "OrganTable.h"

namespace kalvant::mkdata {
namespace {

std::string hex(const std::string& bytes) {
  std::string s;
  for (unsigned char c : bytes) s += {' ', "0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
  return s.substr(1);
}

TEST(GsMessages, MatchTheModulesDocumentedBytes) {
  const std::vector<std::uint8_t> meantone{0x4A, 0x32, 0x43, 0x55, 0x3D, 0x4E,
                                           0x36, 0x47, 0x2F, 0x40, 0x51, 0x39};
  EXPECT_EQ(hex(partTone(1, 0, 19)), "F0 41 10 42 12 40 11 00 00 13 1C F7");
  EXPECT_EQ(hex(reverbParameter(gs::kReverbMacro, 3)), "F0 41 10 42 12 40 01 30 03 0C F7");
  EXPECT_EQ(hex(partParameter(11, gs::kLevel, 0)), "F0 41 10 42 12 40 1A 19 00 0D F7");
  EXPECT_EQ(hex(partScaleTuning(3, meantone)),
            "F0 41 10 42 12 40 13 40 4A 32 43 55 3D 4E 36 47 2F 40 51 39 58 F7");
}

const char* kMinimalOrgan = R"([organ]
display = kalvant
[division great]
name = GREAT
channel = 1
parts = 1 4
[division swell]
name = SWELL
channel = 2
parts = 2
[division pedal]
name = PEDAL
channel = 3
parts = 3 11 12
[stop 10]
name = Principal 8'
rank = Church Organ 1, 8'
[stop 50]
name = Flûte 8'
rank = Organ Flute, 8', level 90
[stop 80]
name = Subbass 16'
rank = Organ Flute, 16', pan -10
[setup 1]
layout = great swell pedal
[setup 2]
part 13 = Strings 1, 8', channel 4
[setup 3]
part 14 = off
[setup 4]
chorus type = Chorus 3
[setup 5]
chorus type = Chorus 2
[setup 6]
chorus type = Chorus 1
[reverb 7]
type = Hall 1
[reverb 8]
type = Hall 2
[reverb 9]
type = Room 3
[temperament 1]
name = Equal
cents = 0 0 0 0 0 0 0 0 0 0 0 0
[temperament 2]
name = A
cents = 0 0 0 0 0 0 0 0 0 0 0 0
[temperament 3]
name = B
cents = 0 0 0 0 0 0 0 0 0 0 0 0
[temperament 4]
name = C
cents = 0.49 -0.5 0.51 0 0 0 0 0 0 0 0 -63.5
)";

TEST(StopListCompiler, BuildsTheMinimalOrgan) {
  const StopsTable table = buildStopsTable(parseOrgan(kMinimalOrgan, "o"));
  EXPECT_EQ(table[50 + 104], "Fl\xFBte 8'");  // Latin-1 on the button
  // The Great's unused part 4 falls silent first; part 1 takes channel 1 last.
  const std::string& great = table[10];
  EXPECT_EQ(hex(great.substr(0, 11)), "F0 41 10 42 12 40 14 02 10 1A F7");
  EXPECT_EQ(hex(great.substr(great.size() - 11)), "F0 41 10 42 12 40 11 02 00 2D F7");
  EXPECT_EQ(table[1].substr(0, great.size()), great);  // layout = the first stops
  EXPECT_TRUE(table[11].empty());
  // 0.49 -> 0, -0.5 -> -1, 0.51 -> +1.
  EXPECT_EQ(hex(table[110].substr(8, 12)), "40 3F 41 40 40 40 40 40 40 40 40 00");
}

// {fault, from, to, the file:line the message must start with}.
using BadSource = std::tuple<const char*, const char*, const char*, const char*>;
void expectFaults(const std::vector<BadSource>& rows, const std::string& good,
                  const std::function<void(const std::string&)>& parse) {
  for (const auto& [fault, from, to, where] : rows) {
    std::string text = good;
    ASSERT_NE(text.find(from), std::string::npos) << from;
    try {
      parse(text.replace(text.find(from), std::strlen(from), to));
      ADD_FAILURE() << fault << ": accepted";
    } catch (const SourceError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(where, 0), 0u) << fault << ": " << e.what();
    }
  }
}

TEST(StopListCompiler, FaultsNameTheFileAndLine) {
  expectFaults({{"unknown tone", "rank = Church Organ 1, 8'", "rank = Church Organ 9, 8'", "o:17:"},
                {"pitch beyond the key shift", "Flute, 16'", "Flute, 1 3/5'", "o:23:"},
                {"level above 127", "level 90", "level 128", "o:20:"},
                {"name too long", "name = Principal 8'", "name = Principal 8' major", "o:16:"},
                {"outside Latin-1", "name = Subbass 16'", "name = Subbass \xE2\x82\xAC", "o:22:"},
                {"more ranks than parts", "level 90", "level 90\nrank = Flute, 4'", "o:21:"},
                {"stop index outside the table", "[stop 50]", "[stop 100]", "o:18:"},
                {"division part in a set-up", "part 14 = off", "part 12 = off", "o:29:"},
                {"setting without a value", "display = kalvant", "display kalvant", "o:2:"},
                {"first stop missing", "[stop 80]", "[stop 81]", "o:11:"},
                {"cents beyond scale tuning", "-63.5", "-64.5", "o:53:"},
                {"unknown reverb", "type = Room 3", "type = Room 9", "o:41:"},
                {"set-up twice", "[setup 6]", "[setup 5]", "o:34:"},
                {"temperament twice", "[temperament 4]", "[temperament 3]", "o:51:"}},
               kMinimalOrgan, [](const std::string& text) { parseOrgan(text, "o"); });
}

TEST(FixedMemoriesSource, RejectsMemoriesTheConsoleCouldNotPlay) {
  const StopsTable table = buildStopsTable(parseOrgan(kMinimalOrgan, "o"));
  std::string good = "[file]\ndat file = kalvant.dat\n";
  for (int m = 1; m <= 12; ++m)
    good += "[memory " + std::to_string(m) + "]\ngreat = 10\nswell = 50\npedal = 80\n";
  EXPECT_EQ(parseFixedMemories(good, "f", table).records.size(), 12u);
  expectFaults(
      {{"undefined stop", "[memory 2]\ngreat = 10", "[memory 2]\ngreat = 11", "f:8:"},
       {"stop of another division", "[memory 1]\ngreat = 10", "[memory 1]\ngreat = 50", "f:4:"},
       {"volume below 80", "[memory 1]\n", "[memory 1]\ngreat volume = 79\n", "f:4:"},
       {"tremulant not on/off", "[memory 1]\n", "[memory 1]\nswell tremulant = 1\n", "f:4:"},
       {"memory missing", "[memory 12]", "[memory 11]", "f:"}},
      good, [&table](const std::string& text) { parseFixedMemories(text, "f", table); });
}

}  // namespace
}  // namespace kalvant::mkdata

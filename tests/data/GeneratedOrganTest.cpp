// The default organ as the console loads it from the program directory.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "registration/MemoryFileFormat.h"
#include "stops/DatFile.h"
#include "stops/StopsTable.h"

namespace kalvant {
namespace {

using Bytes = std::vector<unsigned char>;

const std::string kProgramDir = KALVANT_PROGRAM_DIR;

struct DivisionLayout {
  const char* name;
  int channel;
  std::set<int> parts;
  int first, last;
  int minimumStops;
};
const std::array<DivisionLayout, 3> kDivisions{{{"Great", 1, {1, 4, 5, 6}, 10, 49, 16},
                                                {"Swell", 2, {2, 7, 8, 9}, 50, 79, 12},
                                                {"Pedal", 3, {3, 11, 12}, 80, 99, 8}}};

const StopsTable& table() {
  static const DatReadResult dat = readDatFile(kProgramDir + "/kalvant.dat");
  if (!dat.ok) ADD_FAILURE() << dat.error;
  return dat.table;
}

std::vector<Bytes> messagesOf(const std::string& entry) {
  std::vector<Bytes> messages;
  for (unsigned char c : entry) {
    if (c == 0xF0) messages.emplace_back();
    if (messages.empty()) messages.emplace_back();  // bytes before any F0: a fault
    messages.back().push_back(c);
  }
  return messages;
}

// A GS data set; returns its address (a1 a2 a3 as one number) and data.
struct DataSet {
  int model = 0;
  int address = 0;
  Bytes data;
};

DataSet checkDataSet(const Bytes& m, int entry) {
  SCOPED_TRACE("entry " + std::to_string(entry));
  DataSet d;
  if (m.size() < 11 || m.front() != 0xF0 || m.back() != 0xF7) {
    ADD_FAILURE() << "not a framed data set (" << m.size() << " bytes)";
    return d;
  }
  EXPECT_EQ(m[1], 0x41);
  EXPECT_EQ(m[2], 0x10);
  EXPECT_EQ(m[4], 0x12);
  int sum = 0;
  for (std::size_t i = 1; i + 1 < m.size(); ++i) EXPECT_LT(m[i], 0x80) << "byte " << i;
  for (std::size_t i = 5; i + 1 < m.size(); ++i) sum += m[i];
  EXPECT_EQ(sum % 128, 0) << "checksum";
  d.model = m[3];
  d.address = (m[5] << 16) | (m[6] << 8) | m[7];
  d.data.assign(m.begin() + 8, m.end() - 2);
  return d;
}

int partOfBlock(int block) {
  return block == 0 ? 10 : block <= 9 ? block : block + 1;
}

// The Rx channel of every part (0-based, 16 = off) as a module would hold
// it after receiving the entries in order, starting from a GS reset.
struct ModuleParts {
  std::array<int, 17> rx{};
  ModuleParts() {
    for (int p = 1; p <= 16; ++p) rx[p] = p - 1;
  }
  void receive(const std::string& entry, int index) {
    for (const Bytes& m : messagesOf(entry)) {
      const DataSet d = checkDataSet(m, index);
      if (d.model == 0x42 && (d.address & 0xFFF0FF) == 0x401002)
        rx[partOfBlock((d.address >> 8) & 0x0F)] = d.data.at(0);
    }
  }
  std::set<int> partsOn(int channel) const {
    std::set<int> parts;
    for (int p = 1; p <= 16; ++p)
      if (rx[p] == channel - 1) parts.insert(p);
    return parts;
  }
};

TEST(GeneratedOrgan, EverySysexEntryIsFramedChecksummedGsData) {
  std::vector<int> sysexEntries;
  for (int e = 0; e <= 112; ++e) sysexEntries.push_back(e);
  for (int e : sysexEntries) {
    if (table()[e].empty()) continue;
    for (const Bytes& m : messagesOf(table()[e])) {
      const DataSet d = checkDataSet(m, e);
      EXPECT_EQ(d.model, e == 0 ? 0x45 : 0x42) << "entry " << e;
    }
  }
  EXPECT_EQ(table()[entry::kModuleReset],
            std::string("\xF0\x41\x10\x42\x12\x40\x00\x7F\x00\x41\xF7", 11));
  const std::string gmSystemOn("\xF0\x7E\x7F\x09\x01\xF7", 6);
  for (int e : sysexEntries) EXPECT_EQ(table()[e].find(gmSystemOn), std::string::npos);
  // The identification shows the name on the module's display.
  const std::vector<Bytes> id = messagesOf(table()[entry::kIdentification]);
  ASSERT_EQ(id.size(), 1u);
  const DataSet d = checkDataSet(id[0], 0);
  EXPECT_EQ(d.address, 0x100000);
  EXPECT_EQ(std::string(d.data.begin(), d.data.end()).find("kalvant"), 0u);
}

TEST(GeneratedOrgan, StopsAreDefinedExactlyWhereTheyHaveNames) {
  for (const DivisionLayout& div : kDivisions) {
    int defined = 0;
    for (int s = div.first; s <= div.last; ++s) {
      const std::string& name = table()[s + entry::kStopNameOffset];
      const bool isDefined = table()[s].size() > kUndefinedStopMaxLength;
      EXPECT_EQ(isDefined, !name.empty()) << "stop " << s;
      EXPECT_LE(name.size(), 14u) << name;
      EXPECT_TRUE(std::none_of(name.begin(), name.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 0x20; }));
      defined += isDefined;
    }
    EXPECT_TRUE(stopButtonEnabled(table(), div.first) && table()[div.first].size() > 110);
    EXPECT_GE(defined, div.minimumStops) << div.name;
  }
  for (int e = 205; e <= 230; ++e) EXPECT_FALSE(table()[e].empty()) << "entry " << e;
  EXPECT_TRUE(table()[113].empty());
  EXPECT_TRUE(table()[204].empty());
}

// A stop owns its division's parts: each one ends on the division's channel
// or off, and no other part is touched.
TEST(GeneratedOrgan, StopsSetOnlyTheirDivisionsParts) {
  for (const DivisionLayout& div : kDivisions) {
    for (int s = div.first; s <= div.last; ++s) {
      if (table()[s].empty()) continue;
      SCOPED_TRACE("stop " + std::to_string(s));
      std::map<int, int> rx;
      for (const Bytes& m : messagesOf(table()[s])) {
        const DataSet d = checkDataSet(m, s);
        const int part = partOfBlock((d.address >> 8) & 0x0F);
        EXPECT_TRUE(div.parts.count(part)) << "part " << part;
        if ((d.address & 0xFFF0FF) == 0x401002) rx[part] = d.data.at(0);
      }
      EXPECT_EQ(rx.size(), div.parts.size());
      int sounding = 0;
      for (const auto& [part, channel] : rx) {
        EXPECT_TRUE(channel == div.channel - 1 || channel == 0x10) << "part " << part;
        sounding += channel == div.channel - 1;
      }
      EXPECT_GE(sounding, 1);
    }
  }
}

// After the console's reset sequence every organ channel sounds only its
// own division, and the extra keyboards find their instruments.
TEST(GeneratedOrgan, ResetSequenceSeparatesTheChannels) {
  ModuleParts module;
  for (int e : {100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103}) module.receive(table()[e], e);
  for (const DivisionLayout& div : kDivisions) {
    const std::set<int> on = module.partsOn(div.channel);
    EXPECT_FALSE(on.empty()) << div.name;
    for (int p : on) EXPECT_TRUE(div.parts.count(p)) << div.name << " part " << p;
  }
  EXPECT_EQ(module.partsOn(4), (std::set<int>{13}));
  EXPECT_EQ(module.partsOn(11), (std::set<int>{14}));
}

TEST(GeneratedOrgan, ThreeDifferentReverbs) {
  std::set<std::string> settings;
  for (int e = entry::kReverbChurch; e <= 9; ++e) {
    std::string values;
    std::vector<int> addresses;
    for (const Bytes& m : messagesOf(table()[e])) {
      const DataSet d = checkDataSet(m, e);
      addresses.push_back(d.address);
      values.push_back(static_cast<char>(d.data.at(0)));
    }
    EXPECT_EQ(addresses, (std::vector<int>{0x400130, 0x400133, 0x400134})) << "entry " << e;
    settings.insert(values);
  }
  EXPECT_EQ(settings.size(), 3u);
}

// Cents from equal temperament (A = 0), C..B, when every fifth is `fifth`
// cents wide; Kirnberger III mixes fifths and is built note by note.
std::array<double, 12> regularTemperament(double fifth) {
  // Position of each note on the circle of fifths counted from A.
  constexpr std::array<int, 12> fifthsFromA{-3, 4, -1, -6, 1, -4, 3, -2, 5, 0, -5, 2};
  std::array<double, 12> cents{};
  for (int i = 0; i < 12; ++i) cents[i] = fifthsFromA[i] * (fifth - 700);
  return cents;
}

std::array<double, 12> kirnbergerIII() {
  const double pure = 701.955, meantone = pure - 21.506 / 4, schisma = 1.954;
  std::array<double, 12> pos{};  // cents above C
  pos[7] = meantone;
  pos[2] = 2 * meantone - 1200;
  pos[9] = 3 * meantone - 1200;
  pos[4] = 4 * meantone - 2400;
  pos[11] = pos[4] + pure;
  pos[6] = pos[11] + pure - 1200;
  pos[1] = pos[6] + pure - schisma - 1200;
  pos[8] = pos[1] + pure;
  pos[5] = 1200 - pure;
  pos[10] = 2400 - 2 * pure;
  pos[3] = 2400 - 3 * pure;
  std::array<double, 12> cents{};
  for (int i = 0; i < 12; ++i) cents[i] = pos[i] - 100 * i - (pos[9] - 900);
  return cents;
}

TEST(GeneratedOrgan, TemperamentsTuneEveryPartOfTheirDivision) {
  const double pure = 701.955, comma = 21.506;
  const std::array<std::array<double, 12>, 4> expected{
      regularTemperament(700), regularTemperament(pure - comma / 4),
      regularTemperament(pure - comma / 6), kirnbergerIII()};
  for (int t = 0; t < 4; ++t) {
    for (int d = 0; d < 3; ++d) {
      const int e = entry::kFirstTemperament + 3 * t + d;
      SCOPED_TRACE("entry " + std::to_string(e));
      std::set<int> parts;
      for (const Bytes& m : messagesOf(table()[e])) {
        const DataSet ds = checkDataSet(m, e);
        EXPECT_EQ(ds.address & 0xFFF0FF, 0x401040);
        parts.insert(partOfBlock((ds.address >> 8) & 0x0F));
        ASSERT_EQ(ds.data.size(), 12u);
        for (int i = 0; i < 12; ++i)
          EXPECT_LE(std::abs((ds.data[i] - 64) - expected[t][i]), 0.5) << "note " << i;
      }
      EXPECT_EQ(parts, kDivisions[d].parts);
    }
  }
}

TEST(GeneratedOrgan, FixedMemoriesAreACrescendoOfDefinedStops) {
  const MemoryFileReadResult fix = readMemoryFile(kProgramDir + "/fixed.fix");
  ASSERT_TRUE(fix.ok) << fix.error;
  EXPECT_EQ(fix.data.datFileName, "kalvant.dat");
  EXPECT_EQ(fix.data.tremoloValue, 100);
  EXPECT_EQ(fix.data.memoryLabelMode, 1);
  ASSERT_EQ(fix.data.records.size(), 12u);
  Registration previous{};
  previous.GreatVolume = previous.SwellVolume = 0;
  for (const Registration& r : fix.data.records) {
    const std::array<std::pair<int, const DivisionLayout&>, 3> stops{
        {{r.GreatStop, kDivisions[0]}, {r.SwellStop, kDivisions[1]}, {r.PedalStop, kDivisions[2]}}};
    for (const auto& [stop, div] : stops) {
      EXPECT_TRUE(stop >= div.first && stop <= div.last) << stop;
      EXPECT_TRUE(stopButtonEnabled(table(), stop)) << stop;
    }
    for (int v : {r.GreatVolume, r.SwellVolume}) EXPECT_TRUE(v >= 80 && v <= 127) << v;
    EXPECT_GE(r.GreatVolume, previous.GreatVolume);
    EXPECT_GE(r.SwellVolume, previous.SwellVolume);
    previous = r;
  }
  EXPECT_EQ(fix.data.records.front().PedalCoupler + fix.data.records.front().ManualCoupler, 0);
  EXPECT_GT(fix.data.records.back().PedalCoupler, 0);
  EXPECT_GT(fix.data.records.back().ManualCoupler, 0);
}

}  // namespace
}  // namespace kalvant

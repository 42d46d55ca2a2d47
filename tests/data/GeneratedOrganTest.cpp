// The default organ as the console loads it: framed, checksummed GS data, each
// stop setting only its division's parts.

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
struct DataSet {
  int model, address, part;  // address a1 a2 a3 as one number
  Bytes data;
};

// The data sets of an entry, each checked for frame, bytes and checksum.
std::vector<DataSet> dataSets(const std::string& entry, int index) {
  std::vector<Bytes> messages;
  for (unsigned char c : entry) {
    if (c == 0xF0 || messages.empty()) messages.emplace_back();
    messages.back().push_back(c);
  }
  std::vector<DataSet> sets;
  for (const Bytes& m : messages) {
    const bool framed = m.size() >= 11 && m.front() == 0xF0 && m.back() == 0xF7 && m[1] == 0x41 &&
                        m[2] == 0x10 && m[4] == 0x12;
    EXPECT_TRUE(framed) << "entry " << index << ": not a framed GS data set";
    if (!framed) continue;
    int sum = 0;
    for (std::size_t i = 1; i + 1 < m.size(); ++i) EXPECT_LT(m[i], 0x80) << index << " @" << i;
    for (std::size_t i = 5; i + 1 < m.size(); ++i) sum += m[i];
    EXPECT_EQ(sum % 128, 0) << "checksum of entry " << index;
    const int block = m[6] & 0x0F;
    sets.push_back({m[3], (m[5] << 16) | (m[6] << 8) | m[7], block == 0 ? 10 : block + (block > 9),
                    Bytes(m.begin() + 8, m.end() - 2)});
  }
  return sets;
}

TEST(GeneratedOrgan, EntriesAreGsDataAndStopsSetOnlyTheirDivisionsParts) {
  const DatReadResult dat = readDatFile(std::string(KALVANT_PROGRAM_DIR) + "/kalvant.dat");
  ASSERT_TRUE(dat.ok) << dat.error;
  const StopsTable& table = dat.data;
  for (int e = 0; e <= 112; ++e)
    for (const DataSet& d : dataSets(table[e], e)) EXPECT_EQ(d.model, e == 0 ? 0x45 : 0x42) << e;
  EXPECT_EQ(table[entry::kModuleReset],
            std::string("\xF0\x41\x10\x42\x12\x40\x00\x7F\x00\x41\xF7", 11));
  // Channel, parts, first and last stop, defined stops at least.
  const std::tuple<int, std::set<int>, int, int, int> divisions[] = {
      {1, {1, 4, 5, 6}, 10, 49, 16}, {2, {2, 7, 8, 9}, 50, 79, 12}, {3, {3, 11, 12}, 80, 99, 8}};
  for (const auto& [channel, parts, first, last, minimumStops] : divisions) {
    int defined = 0;
    for (int s = first; s <= last; ++s) {
      const bool isDefined = table[s].size() > kUndefinedStopMaxLength;
      EXPECT_EQ(isDefined, !table[s + entry::kStopNameOffset].empty()) << s;
      defined += isDefined;
      // Each of the division's parts ends on its channel or off, one at least sounding.
      std::map<int, int> rx;
      for (const DataSet& d : dataSets(table[s], s)) {
        EXPECT_TRUE(parts.count(d.part)) << "stop " << s << " part " << d.part;
        if ((d.address & 0xFFF0FF) == 0x401002) rx[d.part] = d.data.at(0);
      }
      if (table[s].empty()) continue;
      int sounding = 0;
      for (const auto& [part, rxChannel] : rx) {
        EXPECT_TRUE(rxChannel == channel - 1 || rxChannel == 0x10) << s << " part " << part;
        sounding += rxChannel == channel - 1;
      }
      EXPECT_EQ(std::pair(rx.size(), sounding >= 1), std::pair(parts.size(), true)) << s;
    }
    EXPECT_GE(defined, minimumStops) << first;
  }
}

// The shipped tables: temperaments, reverbs, the reset sequence, the fixed
// memories and the stop names.
TEST(GeneratedOrgan, TemperamentsReverbsResetFixedMemoriesAndNames) {
  const std::string dir = KALVANT_PROGRAM_DIR;
  const DatReadResult dat = readDatFile(dir + "/kalvant.dat");
  ASSERT_TRUE(dat.ok) << dat.error;
  const StopsTable& table = dat.data;
  const std::set<int> parts[] = {{1, 4, 5, 6}, {2, 7, 8, 9}, {3, 11, 12}};
  const std::pair<int, int> stops[] = {{10, 49}, {50, 79}, {80, 99}};
  // Cents from equal temperament (A = 0), C..B: regular temperaments from the
  // size of their fifth, Kirnberger III note by note.
  const double pure = 701.955, m = pure - 21.506 / 4;
  const auto regular = [](double fifth) {
    const int fromA[12] = {-3, 4, -1, -6, 1, -4, 3, -2, 5, 0, -5, 2};
    std::array<double, 12> c{};
    for (int i = 0; i < 12; ++i) c[i] = fromA[i] * (fifth - 700);
    return c;
  };
  std::array<double, 12> k{}, kirnberger{};  // k: cents above C
  k[7] = m, k[2] = 2 * m - 1200, k[9] = 3 * m - 1200, k[4] = 4 * m - 2400, k[11] = k[4] + pure;
  k[6] = k[11] + pure - 1200, k[1] = k[6] + pure - 1.954 - 1200, k[8] = k[1] + pure;
  k[5] = 1200 - pure, k[10] = 2400 - 2 * pure, k[3] = 2400 - 3 * pure;
  for (int i = 0; i < 12; ++i) kirnberger[i] = k[i] - 100 * i - (k[9] - 900);
  const std::array<double, 12> expected[] = {regular(700), regular(m), regular(pure - 21.506 / 6),
                                             kirnberger};
  for (int t = 0; t < 4; ++t)
    for (int d = 0; d < 3; ++d) {
      const int e = entry::kFirstTemperament + 3 * t + d;
      std::set<int> tuned;
      for (const DataSet& ds : dataSets(table[e], e)) {
        EXPECT_EQ(std::pair(ds.address & 0xFFF0FF, ds.data.size()), std::pair(0x401040, 12ul)) << e;
        tuned.insert(ds.part);
        for (std::size_t i = 0; i < 12 && i < ds.data.size(); ++i)
          EXPECT_LE(std::abs(ds.data[i] - 64 - expected[t][i]), 0.5) << e << " note " << i;
      }
      EXPECT_EQ(tuned, parts[d]) << e;
    }
  std::set<Bytes> reverbs;
  for (int e = entry::kReverbChurch; e <= 9; ++e) {
    std::vector<int> addresses;
    Bytes values;
    for (const DataSet& ds : dataSets(table[e], e))
      addresses.push_back(ds.address), values.push_back(ds.data.at(0));
    EXPECT_EQ(addresses, (std::vector<int>{0x400130, 0x400133, 0x400134})) << e;
    reverbs.insert(values);
  }
  EXPECT_EQ(reverbs.size(), 3u);
  // The console's reset sequence, from a GS reset: each channel's parts (Rx, 0-based; 16 off).
  std::map<int, int> rx;
  for (int p = 1; p <= 16; ++p) rx[p] = p - 1;
  for (int e : {100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103})
    for (const DataSet& ds : dataSets(table[e], e))
      if (ds.model == 0x42 && (ds.address & 0xFFF0FF) == 0x401002) rx[ds.part] = ds.data.at(0);
  const auto partsOn = [&rx](int channel) {
    std::set<int> on;
    for (const auto& [part, c] : rx)
      if (c == channel - 1) on.insert(part);
    return on;
  };
  for (int d = 0; d < 3; ++d) {
    const std::set<int> on = partsOn(d + 1);
    EXPECT_TRUE(!on.empty() &&
                std::includes(parts[d].begin(), parts[d].end(), on.begin(), on.end()))
        << "channel " << d + 1;
  }
  EXPECT_EQ(std::pair(partsOn(4), partsOn(11)), std::pair(std::set{13}, std::set{14}));
  const MemoryFileReadResult fix = readMemoryFile(dir + "/fixed.fix");
  ASSERT_TRUE(fix.ok) << fix.error;
  EXPECT_EQ(std::tuple(fix.data.datFileName, fix.data.tremoloValue, fix.data.memoryLabelMode,
                       fix.data.records.size()),
            std::tuple(std::string("kalvant.dat"), 100, 1, 12ul));
  Registration previous{};
  previous.GreatVolume = previous.SwellVolume = 0;
  for (const Registration& r : fix.data.records) {
    const int chosen[] = {r.GreatStop, r.SwellStop, r.PedalStop};
    for (int d = 0; d < 3; ++d)
      EXPECT_TRUE(chosen[d] >= stops[d].first && chosen[d] <= stops[d].second &&
                  stopButtonEnabled(table, chosen[d]))
          << chosen[d];
    for (int v : {r.GreatVolume, r.SwellVolume}) EXPECT_TRUE(v >= 80 && v <= 127) << v;
    EXPECT_TRUE(r.GreatVolume >= previous.GreatVolume && r.SwellVolume >= previous.SwellVolume);
    previous = r;
  }
  const Registration &first = fix.data.records.front(), &last = fix.data.records.back();
  EXPECT_EQ(first.PedalCoupler + first.ManualCoupler, 0);
  EXPECT_TRUE(last.PedalCoupler > 0 && last.ManualCoupler > 0);
  for (int s = 10; s <= 99; ++s) {
    const std::string& name = table[s + entry::kStopNameOffset];
    EXPECT_TRUE(name.size() <= 14 &&
                std::none_of(name.begin(), name.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        << name;
  }
  for (int e = 205; e <= 230; ++e) EXPECT_FALSE(table[e].empty()) << "entry " << e;
  EXPECT_TRUE(table[113].empty() && table[204].empty());
}

}  // namespace
}  // namespace kalvant

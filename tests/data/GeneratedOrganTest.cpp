// The default organ as the console loads it: framed, checksummed GS data, each
// stop setting only its division's parts.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

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

}  // namespace
}  // namespace kalvant

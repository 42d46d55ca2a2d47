// The default organ as the console loads it from the program directory:
// every sysex entry is framed, checksummed GS data, and each stop sets only
// its division's parts.

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
  int model = 0, address = 0, part = 0;  // address a1 a2 a3 as one number
  Bytes data;
  bool isRx() const { return (address & 0xFFF0FF) == 0x401002; }
};

// The data sets of an entry, each checked for frame, bytes and checksum.
std::vector<DataSet> dataSets(const std::string& entry, int index) {
  SCOPED_TRACE("entry " + std::to_string(index));
  std::vector<Bytes> messages;
  for (unsigned char c : entry) {
    if (c == 0xF0 || messages.empty()) messages.emplace_back();
    messages.back().push_back(c);
  }
  std::vector<DataSet> sets;
  for (const Bytes& m : messages) {
    if (m.size() < 11 || m.front() != 0xF0 || m.back() != 0xF7 || m[1] != 0x41 || m[2] != 0x10 ||
        m[4] != 0x12) {
      ADD_FAILURE() << "not a framed GS data set (" << m.size() << " bytes)";
      continue;
    }
    int sum = 0;
    for (std::size_t i = 1; i + 1 < m.size(); ++i) EXPECT_LT(m[i], 0x80) << "byte " << i;
    for (std::size_t i = 5; i + 1 < m.size(); ++i) sum += m[i];
    EXPECT_EQ(sum % 128, 0) << "checksum";
    const int block = m[6] & 0x0F;
    sets.push_back({m[3], (m[5] << 16) | (m[6] << 8) | m[7],
                    block == 0   ? 10
                    : block <= 9 ? block
                                 : block + 1,
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

  struct Division {
    int channel;
    std::set<int> parts;
    int first, last, minimumStops;
  };
  const Division divisions[] = {
      {1, {1, 4, 5, 6}, 10, 49, 16}, {2, {2, 7, 8, 9}, 50, 79, 12}, {3, {3, 11, 12}, 80, 99, 8}};
  for (const Division& div : divisions) {
    int defined = 0;
    for (int s = div.first; s <= div.last; ++s) {
      SCOPED_TRACE("stop " + std::to_string(s));
      const bool isDefined = table[s].size() > kUndefinedStopMaxLength;
      EXPECT_EQ(isDefined, !table[s + entry::kStopNameOffset].empty());
      defined += isDefined;
      if (table[s].empty()) continue;
      // Each of the division's parts ends on its channel or off, one at least sounding.
      std::map<int, int> rx;
      for (const DataSet& d : dataSets(table[s], s)) {
        EXPECT_TRUE(div.parts.count(d.part)) << "part " << d.part;
        if (d.isRx()) rx[d.part] = d.data.at(0);
      }
      EXPECT_EQ(rx.size(), div.parts.size());
      int sounding = 0;
      for (const auto& [part, channel] : rx) {
        EXPECT_TRUE(channel == div.channel - 1 || channel == 0x10) << "part " << part;
        sounding += channel == div.channel - 1;
      }
      EXPECT_GE(sounding, 1);
    }
    EXPECT_GE(defined, div.minimumStops) << div.first;
  }
}

}  // namespace
}  // namespace kalvant

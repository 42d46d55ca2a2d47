#include "support/ConsoleFixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "console/CfgFormat.h"
#include "stops/DatFile.h"

namespace kalvant::test {

std::string taggedEntry(int k) {
  return std::string{static_cast<char>(0xF0), 0x7D, static_cast<char>(k / 128),
                     static_cast<char>(k % 128), static_cast<char>(0xF7)};
}

StopsTable taggedTable() {
  StopsTable t;
  for (int k = 0; k < kStopsTableSize; ++k) t[k] = taggedEntry(k);
  for (int i = 10; i <= 99; ++i) t[i + 104] = "Stop " + std::to_string(i);
  t[205] = "PEDAL";
  t[206] = "GREAT ORGAN";
  t[207] = "SWELL ORGAN";
  return t;
}

int entryOf(const midi::Bytes& m) {
  if (m.size() != 5 || m[0] != 0xF0 || m[1] != 0x7D || m[4] != 0xF7) return -1;
  return m[2] * 128 + m[3];
}

ConsoleTest::ConsoleTest() {
  char pattern[] = "/tmp/kalvant-test-XXXXXX";
  dir = ::mkdtemp(pattern);
  k = std::make_unique<Console>(ConsoleWorld{user, loop, in1, in2, out, dir});
  loop.onTimer = [this] { k->Timer1_Timer(); };
  out.onSent = [this](const midi::Bytes& b) { sent.push_back({loop.now, b}); };
}

ConsoleTest::~ConsoleTest() {
  k.reset();
  std::filesystem::remove_all(dir);
}

void ConsoleTest::writeFile(const std::string& name, const std::string& bytes) const {
  std::ofstream(path(name), std::ios::binary) << bytes;
}

std::string ConsoleTest::readFile(const std::string& name) const {
  std::ifstream in(path(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool ConsoleTest::exists(const std::string& name) const {
  return std::filesystem::exists(path(name));
}

void ConsoleTest::writeTable(const std::string& name, const StopsTable& table) const {
  std::string error;
  ASSERT_TRUE(writeDatFile(path(name), table, error)) << error;
}

std::vector<int> ConsoleTest::sentEntries() const {
  std::vector<int> entries;
  for (const midi::Bytes& b : bytesSent()) entries.push_back(entryOf(b));
  return entries;
}

void ConsoleTest::startPlaying() {
  k->stopsTable.table() = taggedTable();
  openOutput();
  k->RESET_Click();
  sent.clear();
}

std::vector<midi::Bytes> ConsoleTest::bytesSent() const {
  std::vector<midi::Bytes> b;
  for (const Stamped& s : sent) b.push_back(s.bytes);
  return b;
}

void ConsoleTest::writeCfg(i16 in1, i16 in2, i16 outDev) const {
  CfgData cfg;
  cfg.settings.DatFilePath = path("kalvant.dat");
  cfg.settings.InDev1 = in1;
  cfg.settings.InDev2 = in2;
  cfg.settings.OutDev = outDev;
  cfg.fixedMemories.fill(kInitialRegistration);
  writeFile("KALVANT.CFG", serialiseCfg(cfg));
}

void ConsoleTest::startWith(i16 in1, i16 in2, i16 outDev) {
  writeCfg(in1, in2, outDev);
  writeTable("kalvant.dat", taggedTable());
  k->Form_Load();
}

void ConsoleTest::openOutput() {
  out.selectDevice(0);
  ASSERT_TRUE(out.open());
}

}  // namespace kalvant::test

#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "Checks.h"
#include "console/CfgFormat.h"
#include "registration/MemoryFileFormat.h"
#include "stops/DatFile.h"

namespace kalvant::fuzz {

namespace {

std::string bytesOf(const std::uint8_t* data, std::size_t size) {
  return size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(data), size);
}

bool sameCfg(const CfgData& a, const CfgData& b) {
  const Settings &x = a.settings, &y = b.settings;
  return x.NoteDelay == y.NoteDelay && x.DatFilePath == y.DatFilePath && x.InDev1 == y.InDev1 &&
         x.InDev2 == y.InDev2 && x.OutDev == y.OutDev && x.GreatTemperament == y.GreatTemperament &&
         x.SwellTemperament == y.SwellTemperament && x.PedalTemperament == y.PedalTemperament &&
         x.TremoloValue == y.TremoloValue && x.TremoloController == y.TremoloController &&
         x.ReverbType == y.ReverbType && x.ThruMode == y.ThruMode &&
         x.FixedChannel == y.FixedChannel && x.SysexDelay == y.SysexDelay &&
         x.MemoryLabelMode == y.MemoryLabelMode && x.SlidersCoupled == y.SlidersCoupled &&
         x.SaveCfgOnExit == y.SaveCfgOnExit && a.fixedMemories == b.fixedMemories;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool sameReading(const CfgReadResult& a, const CfgReadResult& b) {
  return a.ok == b.ok && a.linesRead == b.linesRead && a.error == b.error &&
         sameCfg(a.data, b.data);
}

// A folder where KALVANT.CFG should be is refused with a reason that names
// it, without reading from it. Made and read once per process.
std::string folderCheck() {
  static const std::string broken = [] {
    char folder[] = "/tmp/kalvant-fuzz-cfg-XXXXXX";
    if (!::mkdtemp(folder)) return std::string();
    const CfgReadResult read = readCfgFile(folder);
    ::rmdir(folder);
    if (read.ok) return std::string("a folder reads as a configuration");
    if (read.error.find(folder) == std::string::npos)
      return "a refused folder is not named: " + read.error;
    return std::string();
  }();
  return broken;
}

bool sameMemories(const MemoryFileData& read, const MemoryFileData& reread) {
  if (read.datFileName != reread.datFileName || read.temperament != reread.temperament ||
      read.tremoloValue != reread.tremoloValue ||
      read.tremoloController != reread.tremoloController || read.reverbType != reread.reverbType ||
      read.memoryLabelMode != reread.memoryLabelMode || reread.records.size() != kMemoriesPerFile) {
    return false;
  }
  for (std::size_t m = 0; m < kMemoriesPerFile; ++m) {
    const Registration expected = m < read.records.size() ? read.records[m] : kInitialRegistration;
    if (reread.records[m] != expected) return false;
  }
  return true;
}

}  // namespace

std::string checkDat(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = bytesOf(data, size);
  const DatReadResult read = parseDat(bytes, "fuzz.dat");
  if (!read.ok) return read.error.empty() ? "a refused table gives no reason" : "";
  std::string written, error;
  // Entries over 32767 bytes may be refused by the writer; nothing else.
  if (!serialiseDat(read.data, written, error)) {
    for (const std::string& e : read.data) {
      if (e.size() > kMaxEntryLength) return "";
    }
    return "a table that was read cannot be written: " + error;
  }
  if (std::string_view(bytes).substr(0, written.size()) != written)
    return "the written table differs from the bytes it was read from";
  const DatReadResult reread = parseDat(written, "fuzz.dat");
  if (!reread.ok || reread.data != read.data) return "the written table reads differently";
  return "";
}

std::string checkCfg(const std::uint8_t* data, std::size_t size) {
  const std::string bytes = bytesOf(data, size);
  const CfgReadResult read = parseCfg(bytes, "KALVANT.CFG");
  if (!bytes.starts_with(kByteOrderMark)) {
    const CfgReadResult marked = parseCfg(std::string(kByteOrderMark) + bytes, "KALVANT.CFG");
    if (!sameReading(read, marked)) return "a byte-order mark changes how the file reads";
  }
  if (const std::string folder = folderCheck(); !folder.empty()) return folder;
  if (!read.ok) {
    if (read.error.empty()) return "a refused configuration gives no reason";
    if (read.linesRead >= kCfgLines) return "a refused configuration counts every line as read";
    return "";
  }
  if (read.linesRead != kCfgLines) return "a whole configuration did not count 139 lines";
  const Settings& settings = read.data.settings;
  if (settings.SysexDelay < 0 || settings.SysexDelay > kMaxSysexDelay || settings.NoteDelay < 0 ||
      settings.NoteDelay > kMaxNoteDelay)
    return "a delay outside the setup dialog's range was read";
  const std::string written = serialiseCfg(read.data);
  const CfgReadResult reread = parseCfg(written, "KALVANT.CFG");
  if (!reread.ok) return "the written configuration cannot be read: " + reread.error;
  if (!sameCfg(read.data, reread.data)) return "the written configuration reads differently";
  if (serialiseCfg(reread.data) != written) return "writing the configuration twice differs";
  return "";
}

std::string checkMemoryFile(const std::uint8_t* data, std::size_t size) {
  const MemoryFileReadResult read = parseMemoryFile(bytesOf(data, size), "fuzz.sqs");
  if (read.data.records.size() > kMemoriesPerFile) return "more than twelve memories were read";
  if (!read.ok) return read.error.empty() ? "a refused memory file gives no reason" : "";
  const std::string written = serialiseMemoryFile(read.data);
  const MemoryFileReadResult reread = parseMemoryFile(written, "fuzz.sqs");
  if (!reread.ok) return "the written memory file cannot be read: " + reread.error;
  if (!sameMemories(read.data, reread.data)) return "the written memory file reads differently";
  return "";
}

}  // namespace kalvant::fuzz

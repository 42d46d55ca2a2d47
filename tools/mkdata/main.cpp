// kalvant-mkdata: builds the console's default organ from its readable
// sources.
//
//   kalvant-mkdata STOP-LIST FIXED-MEMORIES OUTPUT-DIRECTORY
//
// writes OUTPUT-DIRECTORY/kalvant.dat and OUTPUT-DIRECTORY/fixed.fix.

#include <iostream>

#include "FixedMemories.h"
#include "OrganSource.h"
#include "OrganTable.h"
#include "common/FileIo.h"
#include "registration/MemoryFileFormat.h"
#include "stops/DatFile.h"

namespace {

std::string readSource(const std::string& path) {
  std::string bytes, error;
  if (!kalvant::readWholeFile(path, bytes, error)) throw kalvant::mkdata::SourceError(error);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: kalvant-mkdata STOP-LIST FIXED-MEMORIES OUTPUT-DIRECTORY\n";
    return 2;
  }
  const std::string stopList = argv[1], memories = argv[2], outDir = argv[3];
  try {
    const auto organ = kalvant::mkdata::parseOrgan(readSource(stopList), stopList);
    const kalvant::StopsTable table = kalvant::mkdata::buildStopsTable(organ);
    const auto fixed = kalvant::mkdata::parseFixedMemories(readSource(memories), memories, table);
    std::string error;
    if (!kalvant::writeDatFile(outDir + "/kalvant.dat", table, error) ||
        !kalvant::writeMemoryFile(outDir + "/fixed.fix", fixed, error)) {
      std::cerr << "kalvant-mkdata: " << error << "\n";
      return 1;
    }
  } catch (const kalvant::mkdata::SourceError& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}

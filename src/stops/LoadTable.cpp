// Loading the stops table in play, with the program directory's own table
// as the fallback.

#include "stops/DatFile.h"
#include "stops/TableInPlay.h"

namespace kalvant {

void TableInPlay::load(std::string& datFilePath) {
  DatReadResult read = readDatFile(datFilePath);
  if (!read.ok) {
    const std::string firstPath = datFilePath;
    hooks_.tell("The stops table " + firstPath +
                    " could not be loaded: the file is damaged or missing. kalvant loads its "
                    "default stops table instead.",
                MessageIcon::None);
    datFilePath = fallbackPath_;
    hooks_.saveSettings();
    read = readDatFile(datFilePath);
    if (!read.ok) {
      // Neither table could be read: keep playing with the table we have.
      hooks_.tell("No stops table could be loaded, neither from " + firstPath + " nor from " +
                      datFilePath + " (" + read.error +
                      "). kalvant goes on with the stops table it had.",
                  MessageIcon::Critical);
    }
  }
  if (read.ok) table_ = read.data;
}

}  // namespace kalvant

// Loading the stops table into the console and dressing the stop buttons.

#include "console/Console.h"
#include "stops/DatFile.h"

namespace kalvant {

namespace {
const char* kFallbackName = "kalvant.dat";
}

void Console::CARICAMENTO_DAT() {
  DatReadResult read = readDatFile(s.settings.DatFilePath);
  if (!read.ok) {
    const std::string firstPath = s.settings.DatFilePath;
    tell("Error Loading Stops Table File " + firstPath +
             " File is Damaged or Wrong Path is on CFG File: program will load default "
             "File KALVANT.DAT,if it is present in kalvant directory",
         MessageIcon::None);
    s.settings.DatFilePath = programFile(kFallbackName);
    panel.setText(panel.Label_fileDAT, "Stops Table: " + s.settings.DatFilePath);
    Salva_dati_di_avvio();
    read = readDatFile(s.settings.DatFilePath);
    if (!read.ok) {
      // Neither table could be read: keep playing with the table we have.
      tell("No stops table could be loaded, neither from " + firstPath + " nor from " +
               s.settings.DatFilePath + " (" + read.error +
               "). kalvant goes on with the stops table it had.",
           MessageIcon::Critical);
    }
  }
  if (read.ok) {
    s.StopsTable = read.table;
    panel.setText(panel.Label_fileDAT, "Stops Table: " + s.settings.DatFilePath);
  }

  for (int i = entry::kFirstGreatStop; i <= entry::kLastStop; ++i) {
    ButtonView& b = panel.Tiranti[static_cast<std::size_t>(i)];
    panel.setCaption(b, s.StopsTable[static_cast<std::size_t>(i + entry::kStopNameOffset)]);
    panel.setEnabled(b, stopButtonEnabled(s.StopsTable, i));
  }
  panel.setCaption(panel.PEDALE, s.StopsTable[entry::kPedalName]);
  panel.setCaption(panel.GREAT, s.StopsTable[entry::kGreatName]);
  panel.setCaption(panel.SWELL, s.StopsTable[entry::kSwellName]);
  s.DeviceListsReady = true;
  s.ChannelCapture = false;
  s.CaptureField = 0;
}

}  // namespace kalvant

// The console's entry points of the stops table, its editor, the file
// dialogs and about/help, and what the console does when the table in play
// changes.

#include "console/Console.h"

namespace kalvant {

void Console::CARICAMENTO_DAT() {
  stopsTable.load(s.settings.DatFilePath);
  showTableInPlay();
}

void Console::showTableInPlay() {
  const StopsTable& table = stopsTable.table();
  panel.setTableFileText("Stops Table: " + s.settings.DatFilePath);
  registration_.nameStops(table);
  router_.tableLoaded();
}

// The editor's Enable: the saved file becomes the configured table.
void Console::enableTable(const std::string& datPath) {
  s.settings.DatFilePath = datPath;
  panel.setTableFileText("Stops Table: " + s.settings.DatFilePath);
  Salva_dati_di_avvio();
  CARICAMENTO_DAT();
  RESET_kalvant();
}

void Console::EditCFG_Click() {
  stopsTableEditor.open();
}

int Console::OpenDialog(const std::string& title, const std::string& extension,
                        std::string& FileName) {
  return files_.OpenDialog(title, extension, FileName);
}

int Console::SaveDialog(const std::string& title, const std::string& extension,
                        std::string& FileName) {
  return files_.SaveDialog(title, extension, FileName);
}

void Console::About_Click() {
  aboutHelp.About_Click();
}

void Console::Help1_Click() {
  aboutHelp.Help1_Click();
}

}  // namespace kalvant

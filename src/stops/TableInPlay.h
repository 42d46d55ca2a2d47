#pragma once
// The stops table the console plays with: read from the configured DAT file
// at start-up and whenever the editor enables a table. Every part that sends
// or names stops reads it through table(); the editor edits it in place.

#include <functional>
#include <string>

#include "common/Services.h"
#include "stops/StopsTable.h"

namespace kalvant {

class TableInPlay {
 public:
  struct Hooks {
    // A message box, unless the console has shut down.
    std::function<void(const std::string&, MessageIcon)> tell;
    // The configuration file, written when the fallback table replaced the
    // configured path.
    std::function<void()> saveSettings;
  };
  TableInPlay(std::string fallbackPath, Hooks hooks)
      : fallbackPath_(std::move(fallbackPath)), hooks_(std::move(hooks)) {}

  const StopsTable& table() const { return table_; }
  StopsTable& table() { return table_; }

  // CARICAMENTO_DAT's reading: the configured file, else the fallback file
  // in the program directory (datFilePath then names it and the settings are
  // saved). When neither can be read the table in play stays as it was.
  void load(std::string& datFilePath);

 private:
  std::string fallbackPath_;
  Hooks hooks_;
  StopsTable table_;
};

}  // namespace kalvant

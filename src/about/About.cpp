// The about box and the help manual.

#include <filesystem>

#include "console/Console.h"

namespace kalvant {

namespace {
// The manual: an HTML file with its pictures, in the program directory.
constexpr const char* kManual = "help/kalvant.html";
}  // namespace

void Console::About_Click() {
  // The module answers the identification entry as the box opens.
  INVIO_SYSEX(entry::kIdentification);
  panel.set(panel.frmABout.picturePath, programFile("about.jpg"));
  panel.set(panel.frmABout.iconPath, programFile("flgitaly.ico"));
  panel.set(panel.frmABout.shows, panel.frmABout.shows + 1);
}

void Console::Help1_Click() {
  const std::string manual = programFile(kManual);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(manual, ec)) {
    tell("The help manual " + manual + " cannot be found.", MessageIcon::Exclamation);
    return;
  }
  panel.set(panel.help.manualPath, manual);
  panel.set(panel.help.shows, panel.help.shows + 1);
}

}  // namespace kalvant

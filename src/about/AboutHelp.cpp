#include "about/AboutHelp.h"

#include <filesystem>

namespace kalvant {

void AboutHelp::About_Click() {
  hooks_.sendIdentification();
  set(about_.picturePath, resourceDir_ + "/about.jpg");
  set(about_.iconPath, resourceDir_ + "/flgitaly.ico");
  set(about_.shows, about_.shows + 1);
}

void AboutHelp::Help1_Click() {
  const std::string manual = resourceDir_ + "/help/kalvant.html";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(manual, ec)) {
    hooks_.tell("The help manual " + manual + " cannot be found.", MessageIcon::Exclamation);
    return;
  }
  set(help_.manualPath, manual);
  set(help_.shows, help_.shows + 1);
}

}  // namespace kalvant

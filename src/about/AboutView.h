#pragma once
// What the about box and the help window show; AboutHelp writes them.

#include <string>

namespace kalvant {

struct AboutView {
  int shows = 0;
  std::string caption = "About kalvant";
  std::string picturePath;  // "about.jpg"; a missing picture leaves the box without it
  std::string iconPath;     // "flgitaly.ico"
  std::string version = "kalvant V2.0";
  bool operator==(const AboutView&) const = default;
};

struct HelpView {
  int shows = 0;
  std::string manualPath;  // the HTML manual in the program directory
  bool operator==(const HelpView&) const = default;
};

}  // namespace kalvant

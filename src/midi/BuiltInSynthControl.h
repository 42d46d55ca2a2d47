#pragma once
// The built-in synthesizer's own settings as the console's setup sees them.
// The setup dialog shows a copy, the user changes the copy, and only OK
// hands it back through apply(): opening or closing a port never writes a
// file, and CANCEL leaves everything as it was. Called on the GUI thread.

#include <string>
#include <vector>

namespace kalvant::midi {

struct SynthChoice {
  std::string audioDriver = "auto";
  std::string soundfont;  // empty: the default soundfont
  bool operator==(const SynthChoice&) const = default;
};

class BuiltInSynthControl {
 public:
  virtual ~BuiltInSynthControl() = default;
  // What is saved now. A file that is there but cannot be read gives the
  // defaults, and its reason in `error`.
  virtual SynthChoice saved(std::string& error) = 0;
  // The audio outputs to choose from, "auto" first.
  virtual std::vector<std::string> audioDrivers() = 0;
  // The soundfont file a choice loads.
  virtual std::string soundfontFile(const SynthChoice& choice) = 0;
  // Saves the choice; it takes effect when the synthesizer is next opened.
  virtual bool apply(const SynthChoice& choice, std::string& error) = 0;
};

}  // namespace kalvant::midi

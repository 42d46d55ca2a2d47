#include "console/Console.h"

#include <algorithm>

namespace kalvant {

Console::Console(const ConsoleWorld& world) : panel(makeInitialPanel()), w_(world) {
  // Every slot starts as a playable registration: fixed memories that no
  // file fills must still recall something sensible.
  s.bank.memories.fill(kInitialRegistration);
  s.bank.pending = s.bank.live = kInitialRegistration;
  s.settings.DatFilePath = programFile("kalvant.dat");
  s.CfgPath = programFile("KALVANT.CFG");

  w_.MIDIInput1.onMessage = [this] { MIDIInput1_Message(); };
  w_.MIDIInput2.onMessage = [this] { MIDIInput2_Message(); };
  w_.MIDIInput1.onError = [this](int code, const std::string& text) {
    MIDIInput1_Error(code, text);
  };
  w_.MIDIInput2.onError = [this](int code, const std::string& text) {
    MIDIInput2_Error(code, text);
  };
  w_.MIDIOutput1.onError = [this](int code, const std::string& text) {
    MIDIOutput1_Error(code, text);
  };
}

void Console::tell(const std::string& text, MessageIcon icon) {
  if (!ended_) w_.user.message(text, icon);
}

bool Console::ask(const std::string& question) {
  return !ended_ && w_.user.askYesNo(question);
}

// A slider's knob stays inside its range, whatever value it is given.
void Console::setSliderPosition(SliderView& slider, int value) {
  panel.setSlider(slider, std::clamp(value, slider.minimum, slider.maximum));
}

std::string Console::programFile(const std::string& name) const {
  return w_.programDir + "/" + name;
}

void Estrae_nome(const std::string& S_in, std::string& S_out) {
  const std::size_t p = S_in.find_last_of("\\/");
  S_out = p == std::string::npos ? S_in : S_in.substr(p + 1);
}

std::string Estrae_nome(const std::string& path) {
  std::string name;
  Estrae_nome(path, name);
  return name;
}

}  // namespace kalvant

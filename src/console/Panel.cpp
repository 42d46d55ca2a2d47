#include "console/Panel.h"

namespace kalvant {

bool Panel::checked(const std::string& item) const {
  auto it = menu.find(item);
  return it != menu.end() && it->second.checked;
}

namespace {

ButtonView button(const char* caption, const char* tooltip = "") {
  ButtonView b;
  b.caption = caption;
  b.tooltip = tooltip;
  return b;
}

SliderView slider(int lo, int hi, int value, const char* tooltip) {
  SliderView s;
  s.minimum = lo;
  s.maximum = hi;
  s.value = value;
  s.tooltip = tooltip;
  return s;
}

struct MenuEntry {
  const char* name;
  const char* caption;
};

// Menu items by control name; the window arranges them in their menus.
constexpr MenuEntry kMenuItems[] = {
    {"LoadFile", "&Load  Memory File"},
    {"savefile", "&Save Memory File"},
    {"EnableCFG", "Save &Configuration on EXIT"},
    {"SaveFIXED", "Configure Free &Memories as Fixed Memories"},
    {"Exit", "&Exit"},
    {"SetMidi", "&Midi In/Out and Sysex Delay"},
    {"MidiTHRU", "Midi &Thru..."},
    {"EditCFG", "&KALVANT Stops Table Editor"},
    {"Equal", "&Equal"},
    {"MeanTone", "&Mean Tone"},
    {"Silbermann", "&Silbermann"},
    {"Kirnberger", "&Kirnberger"},
    {"Reverb1", "&Church"},
    {"Reverb2", "Ca&thedral"},
    {"Reverb3", "Cha&pel"},
    {"tremoloRate", "&Tremolo Rate"},
    {"Help1", "Help"},
    {"About", "About"},
};

}  // namespace

Panel makeInitialPanel() {
  Panel p;
  p.GREAT = button("GREAT ORGAN");
  p.SWELL = button("SWELL ORGAN");
  p.PEDALE = button("PEDAL");
  for (ButtonView* b : {&p.GREAT, &p.SWELL, &p.PEDALE}) b->lamp = Lamp::Inactive;
  p.UNI_II = button("II to I", "I to II coupling  (Move Pitch Bend  Wheel  DOWN  for fast switch)");
  p.UNII_I = button("I to II", "II to I coupling  (Move Pitch Bend  Wheel  DOWN  for fast switch)");
  p.UNPI = button("I to Ped", "Pedal coupling with Great");
  p.UNPII = button("II to Ped", "Pedal coupling with Swell");
  p.Tir_TREMOLOGO = button("Tremolo", "Great Tremolo (Move Pitch Bend  Wheel  UP for fast switch)");
  p.TIR_TREMOLOSW =
      button("Tremolo ", "Swell Tremolo (Move Pitch Bend  Wheel  UP for fast switch)");
  p.Rec_button = button("REC ", "Click to Store Current status on next clicked Memory");
  p.CANCEL = button("CLEAR", "Clear all free Memories");
  p.RESET = button("RESET", "Reset KALVANT  to nitial state");
  p.Panic = button("PANIC", "All note OFF message");
  p.LabelMode = button("0", "Switch Memory Labels to Numers or Keys");
  p.Couplingsliders = button("=", "Coupling Great and Swell Sliders");
  for (int i = 1; i <= 12; ++i) {
    p.Graduatore[i] = button("");
    p.Graduatore[i].lamp = Lamp::Inactive;
  }
  p.Slider1 = slider(80, 127, 127, "Adjust Great Volume");
  p.Slider2 = slider(80, 127, 127, "Adjust Swell Volume");
  p.EXPGO.text = p.EXPSW.text = "127";
  p.Label_filememory = {"Memory stops file:",
                        "Display current free memory file, is Loaded or Saved"};
  for (const MenuEntry& m : kMenuItems) p.menu[m.name].caption = m.caption;
  return p;
}

}  // namespace kalvant

#pragma once
// The panel: what every control of the console shows. The core writes it; the
// widgets render it. Console state is shown by three lamp states, which the
// widgets map to colours. Texts are 8-bit (Latin-1), as the stops table is.
//
// Every change goes through the setters, which tell the renderer once per
// change so it can schedule a repaint.

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The stops table editor, the about box and the help window.
#include "about/AboutView.h"
#include "stops/EditorView.h"
#include "view/Views.h"

namespace kalvant {

// The MIDI device setup dialog: its three lists end with "No device".
struct SetupView {
  bool visible = false;
  std::vector<std::string> InputDev1Combo, InputDev2Combo, outputDevcombo;
  int input1Selected = -1, input2Selected = -1, outputSelected = -1;
  int Slider1 = 0;                    // sysex delay 0..100
  int Slider2 = 0;                    // note delay 0..500
  std::string UserDelay, Label_hang;  // the two delays as numbers
  bool operator==(const SetupView&) const = default;
};

// The "Tremolo Rate Setting" dialog.
struct TremoloView {
  bool visible = false;
  int Slider1 = 100;  // 100..127
  std::string Valore;
  bool operator==(const TremoloView&) const = default;
};

// The "Midi Thru Mode" dialog: the chosen option, the description labels
// lit for the active mode, the three learned-channel fields.
struct ThruView {
  bool visible = false;
  int option = 0;
  Lamp Label3 = Lamp::Unlit, Label2_3 = Lamp::Unlit, Label1 = Lamp::Unlit;
  std::array<ButtonView, 3> Custom_Thru_label;
  bool operator==(const ThruView&) const = default;
};

struct Panel {
  std::string windowCaption;
  std::string windowIconPath;

  std::array<ButtonView, 100> Tiranti;  // stop buttons 10..99
  ButtonView GREAT, SWELL, PEDALE;
  ButtonView UNI_II, UNII_I, UNPI, UNPII;
  ButtonView Tir_TREMOLOGO, TIR_TREMOLOSW;
  ButtonView Rec_button, CANCEL, RESET, Panic, LabelMode, Couplingsliders;
  std::array<PictureView, 13> c_memory;   // 1..12
  std::array<LabelView, 13> Label1;       // 1..12
  std::array<ButtonView, 13> Graduatore;  // 1..12
  LabelView Label_fileDAT, Label_filememory, EXPGO, EXPSW;
  LabelView MidiStatus;  // the status line: what the MIDI inputs had to drop
  SliderView Slider1, Slider2;
  std::map<std::string, MenuItemView> menu;  // by control name ("EnableCFG")
  SetupView Set_up;
  // The stops table editor, the about box and the help window.
  EditorView compilatore;
  AboutView frmABout;
  HelpView help;
  TremoloView Tremolo;
  ThruView Thru_form;

  // Set by the renderer; called after each change.
  std::function<void()> onChanged;

  void paint(ButtonView& b, Lamp lamp) { set(b.lamp, lamp); }
  // A pair of exclusive couplers by its code: 0 none, 1 the first, 2 the
  // second; any other code repaints nothing.
  void paintCouplerPair(ButtonView& first, ButtonView& second, int code) {
    if (code < 0 || code > 2) return;
    paint(first, code == 1 ? Lamp::Lit : Lamp::Unlit);
    paint(second, code == 2 ? Lamp::Lit : Lamp::Unlit);
  }
  void setCaption(ButtonView& b, const std::string& s) { set(b.caption, s); }
  void setEnabled(ButtonView& b, bool on) { set(b.enabled, on); }
  void setText(LabelView& l, const std::string& s) { set(l.text, s); }
  void setPicture(PictureView& p, const std::string& path) { set(p.picturePath, path); }
  void setSlider(SliderView& s, int value) { set(s.value, value); }
  void check(const std::string& item, bool on) { set(menu[item].checked, on); }
  bool checked(const std::string& item) const;
  template <class T>
  void set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    if (onChanged) onChanged();
  }
};

// The panel as it looks before start-up: captions, tooltips, ranges and
// menus that never change.
Panel makeInitialPanel();

}  // namespace kalvant

// The "Midi Thru Mode" dialog: no, normal or fixed rechannelling, and the
// channels each division learns from a played key.

#include "console/Console.h"

namespace kalvant {

void Console::MidiTHRU_Click() {
  if (panel.Thru_form.visible) return;  // already open: the window raises it
  panel.set(panel.Thru_form.visible, true);
  s.ThruModeBefore = s.settings.ThruMode;
  Thru_choose_Click(s.settings.ThruMode >= 0 && s.settings.ThruMode <= 2 ? s.settings.ThruMode : 0);
}

void Console::Thru_choose_Click(int Index) {
  s.settings.ThruMode = static_cast<i16>(Index);
  panel.set(panel.Thru_form.option, Index);
  if (Index == 2) {  // learning starts again from a known table
    s.settings.FixedChannel[0] = 1;
    s.settings.FixedChannel[1] = 0;
    s.settings.FixedChannel[2] = 3;
    s.ChannelCapture = true;
  }
  Thru_Refresh();
}

void Console::Custom_Thru_label_Click(int Index) {
  if (Index < 0 || Index > 2) return;
  s.CaptureField = static_cast<i16>(Index);
  for (int i = 0; i < 3; ++i) {
    panel.paint(panel.Thru_form.Custom_Thru_label[i], i == Index ? Lamp::Lit : Lamp::Unlit);
  }
}

void Console::Thru_Refresh() {
  ThruView& v = panel.Thru_form;
  const int mode = s.settings.ThruMode;
  panel.set(v.Label3, mode == 0 ? Lamp::Lit : Lamp::Unlit);
  panel.set(v.Label2_3, mode == 1 ? Lamp::Lit : Lamp::Unlit);
  panel.set(v.Label1, mode == 2 ? Lamp::Lit : Lamp::Unlit);
  for (int i = 0; i < 3; ++i) {
    ButtonView& field = v.Custom_Thru_label[i];
    if (mode != 2) {
      panel.paint(field, Lamp::Unlit);
      panel.setCaption(field, "Not rechanneled ");
    } else {
      panel.setCaption(field, "channel = " + std::to_string(s.settings.FixedChannel[i] + 1));
    }
  }
}

void Console::Thru_OK_Click() {
  colori_tasti_GOSWPE();
  s.ChannelCapture = false;
  panel.set(panel.Thru_form.visible, false);
}

void Console::Thru_CANCEL_Click() {
  s.settings.ThruMode = s.ThruModeBefore;
  s.ChannelCapture = false;
  panel.set(panel.Thru_form.visible, false);
}

// Closing by the frame ends the capture and repaints the division buttons,
// as OK does.
void Console::Thru_Close() {
  if (panel.Thru_form.visible) Thru_OK_Click();
}

}  // namespace kalvant

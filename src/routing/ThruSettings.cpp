// The "MIDI Thru Mode" dialog: no, normal or fixed rechannelling, and the
// channels each division learns from a played key.

#include "routing/InputRouter.h"

namespace kalvant::routing {

void InputRouter::openThru() {
  if (thru_.visible) return;  // already open: the window raises it
  set(thru_.visible, true);
  thruModeBefore_ = settings_.thruMode;
  chooseThruMode(settings_.thruMode >= 0 && settings_.thruMode <= 2 ? settings_.thruMode : 0);
}

// Every change of the dialog is one the routing reads.

void InputRouter::chooseThruMode(int mode) {
  settings_.thruMode = static_cast<i16>(mode);
  set(thru_.optionSelected, mode);
  if (mode == 2) {  // learning starts again from a known table
    settings_.fixedChannel[0] = 1;
    settings_.fixedChannel[1] = 0;
    settings_.fixedChannel[2] = 3;
    channelCapture_ = true;
  }
  refreshThru();
  publish();
}

void InputRouter::chooseCaptureField(int field) {
  if (field < 0 || field > 2) return;
  captureField_ = static_cast<i16>(field);
  for (int i = 0; i < 3; ++i) {
    set(thru_.learnedChannelFields[i].lamp, i == field ? Lamp::Lit : Lamp::Unlit);
  }
  publish();
}

void InputRouter::refreshThru() {
  const int mode = settings_.thruMode;
  set(thru_.noneLamp, mode == 0 ? Lamp::Lit : Lamp::Unlit);
  set(thru_.normalLamp, mode == 1 ? Lamp::Lit : Lamp::Unlit);
  set(thru_.fixedLamp, mode == 2 ? Lamp::Lit : Lamp::Unlit);
  for (int i = 0; i < 3; ++i) {
    ButtonView& field = thru_.learnedChannelFields[i];
    if (mode != 2) {
      set(field.lamp, Lamp::Unlit);
      set(field.caption, std::string("Not rechanneled"));
    } else {
      set(field.caption, "Channel " + std::to_string(settings_.fixedChannel[i] + 1));
    }
  }
}

void InputRouter::thruOk() {
  actions_.run({Action::RepaintDivisions});
  channelCapture_ = false;
  set(thru_.visible, false);
  publish();
}

void InputRouter::thruCancel() {
  settings_.thruMode = thruModeBefore_;
  channelCapture_ = false;
  set(thru_.visible, false);
  publish();
}

// Closing by the frame ends the capture and repaints the division buttons,
// as OK does.
void InputRouter::thruClose() {
  if (thru_.visible) thruOk();
}

void InputRouter::tableLoaded() {
  channelCapture_ = false;
  captureField_ = 0;
  publish();
}

}  // namespace kalvant::routing

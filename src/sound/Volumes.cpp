// Division volumes: the Great and Swell sliders send Expression (CC 11) on
// their division's channel; the "=" button couples the two knobs.

#include "console/Console.h"

namespace kalvant {

namespace {
constexpr int kExpression = 11;
}

void Console::Slider1_Scroll() {
  s.comb.GreatVolume[kPending] = static_cast<i16>(panel.Slider1.value);
  w_.MIDIOutput1.sendShort(0xB0, kExpression, s.comb.GreatVolume[kPending]);
  panel.setText(panel.EXPGO, std::to_string(s.comb.GreatVolume[kPending]));
  s.comb.GreatVolume[kLive] = s.comb.GreatVolume[kPending];
  // Coupled: the other knob follows, but sends only when moved itself.
  if (s.settings.SlidersCoupled == 1) setSliderPosition(panel.Slider2, panel.Slider1.value);
  Marca_Led_giallo();
}

void Console::Slider2_Scroll() {
  s.comb.SwellVolume[kPending] = static_cast<i16>(panel.Slider2.value);
  w_.MIDIOutput1.sendShort(0xB1, kExpression, s.comb.SwellVolume[kPending]);
  panel.setText(panel.EXPSW, std::to_string(s.comb.SwellVolume[kPending]));
  s.comb.SwellVolume[kLive] = s.comb.SwellVolume[kPending];
  if (s.settings.SlidersCoupled == 1) setSliderPosition(panel.Slider1, panel.Slider2.value);
  Marca_Led_giallo();
}

void Console::Couplingsliders_Click() {
  Accoppia_Sliders();
}

void Console::Accoppia_Sliders() {
  s.settings.SlidersCoupled = s.settings.SlidersCoupled != 0 ? 0 : 1;
  showCouplingButton();
}

void Console::showCouplingButton() {
  panel.paint(panel.Couplingsliders, s.settings.SlidersCoupled != 0 ? Lamp::Lit : Lamp::Unlit);
}

}  // namespace kalvant

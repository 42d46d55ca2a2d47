#include "registration/Combinations.h"

#include "common/Text.h"

namespace kalvant {

namespace {

// The panel before start-up: captions and tooltips that never change.
CombinationsView initialView() {
  CombinationsView v;
  v.greatDivision = makeButton("GREAT ORGAN");
  v.swellDivision = makeButton("SWELL ORGAN");
  v.pedalDivision = makeButton("PEDAL");
  for (ButtonView* b : {&v.greatDivision, &v.swellDivision, &v.pedalDivision})
    b->lamp = Lamp::Inactive;
  v.swellToGreat = makeButton(
      "II to I",
      "Swell to Great coupler (II to I); move the pitch-bend wheel down for a fast switch");
  v.greatToSwell = makeButton(
      "I to II",
      "Great to Swell coupler (I to II); move the pitch-bend wheel down for a fast switch");
  v.greatToPedal = makeButton("I to Ped", "Great to Pedal coupler");
  v.swellToPedal = makeButton("II to Ped", "Swell to Pedal coupler");
  v.recButton = makeButton("REC ", "Click, then click a memory to store the current stops in it");
  v.clearButton = makeButton("CLEAR", "Clear all free memories");
  v.labelModeButton = makeButton("0", "Switch the memory labels between numbers and keys");
  for (int i = 1; i <= 12; ++i) v.fixedMemoryBar[i].lamp = Lamp::Inactive;
  v.memoryFileText = {"Memory file:", "The free memories' file, as last loaded or saved"};
  v.undo = {undoCaption({}), false, false};
  return v;
}

}  // namespace

Combinations::Combinations(Settings& settings, Sound& sound, OutputSchedule& output,
                           CombinationsHooks hooks)
    : settings_(settings),
      sound_(sound),
      output_(output),
      hooks_(std::move(hooks)),
      view_(initialView()) {
  // Every slot starts as a playable registration: fixed memories that no
  // file fills must still recall something sensible.
  bank_.memories.fill(kInitialRegistration);
  bank_.pending = bank_.live = kInitialRegistration;
  sound_.tremoloOn = [this](const OrganDivision& d) {
    return (d.channel == kGreatDivision.channel ? bank_.pending.GreatTremolo
                                                : bank_.pending.SwellTremolo) == 1;
  };
  sound_.volumeSent = [this](int division, int value) {
    std::int16_t Registration::*volume =
        division == 0 ? &Registration::GreatVolume : &Registration::SwellVolume;
    bank_.pending.*volume = static_cast<std::int16_t>(value);
    bank_.live.*volume = bank_.pending.*volume;
    Marca_Led_giallo();
  };
}

void Combinations::setLedPictures(std::string greenOn, std::string greenOff, std::string yellowOn) {
  greenOnPath_ = std::move(greenOn);
  greenOffPath_ = std::move(greenOff);
  yellowOnPath_ = std::move(yellowOn);
}

// The names are the table's Windows-1252 bytes; the view holds UTF-8.
void Combinations::nameStops(const StopsTable& table) {
  forgetUndo();  // a registration means other sounds with another table
  for (int i = entry::kFirstGreatStop; i <= entry::kLastStop; ++i) {
    ButtonView& b = view_.stopButtons[static_cast<std::size_t>(i)];
    set(b.caption, windows1252ToUtf8(table[static_cast<std::size_t>(i + entry::kStopNameOffset)]));
    set(b.enabled, stopButtonEnabled(table, i));
  }
  set(view_.pedalDivision.caption, windows1252ToUtf8(table[entry::kPedalName]));
  set(view_.greatDivision.caption, windows1252ToUtf8(table[entry::kGreatName]));
  set(view_.swellDivision.caption, windows1252ToUtf8(table[entry::kSwellName]));
}

void Combinations::paintFixedBar(int lit) {
  for (int i = 1; i <= 12; ++i)
    paint(view_.fixedMemoryBar[i], i <= lit ? Lamp::Lit : Lamp::Inactive);
}

void Combinations::unlightStops() {
  for (int i = entry::kFirstGreatStop; i <= entry::kLastStop; ++i)
    paint(view_.stopButtons[i], Lamp::Unlit);
}

void Combinations::clearMemoryLeds() {
  recArmed_ = false;
  paint(view_.recButton, Lamp::Unlit);
  memoryShownGreen_ = false;
  currentMemory_ = 1;
  anyRecalled_ = false;
  for (int i = 1; i <= 12; ++i) showLed(i, greenOffPath_, "off");
}

void Combinations::showLed(int i, const std::string& picture, const char* words) {
  set(view_.memoryLeds[i].picturePath, picture);
  set<std::string>(view_.memoryLeds[i].words, words);
}

// A pair of exclusive couplers by its code: 0 none, 1 the first, 2 the
// second; any other code repaints nothing.
void Combinations::paintCouplerPair(ButtonView& first, ButtonView& second, int code) {
  if (code < 0 || code > 2) return;
  paint(first, code == 1 ? Lamp::Lit : Lamp::Unlit);
  paint(second, code == 2 ? Lamp::Lit : Lamp::Unlit);
}

void Combinations::showReset() {
  forgetUndo();
  bank_.live = kInitialRegistration;
  bank_.pending = kInitialRegistration;
  sound_.showReset(bank_.pending.GreatVolume, bank_.pending.SwellVolume);
  clearMemoryLeds();
  sound_.unlightTremolos();
  for (ButtonView* b : {&view_.greatDivision, &view_.swellDivision, &view_.pedalDivision})
    paint(*b, Lamp::Inactive);
  for (ButtonView* b :
       {&view_.swellToGreat, &view_.greatToSwell, &view_.greatToPedal, &view_.swellToPedal})
    paint(*b, Lamp::Unlit);
  for (const OrganDivision& d : kDivisions) paint(view_.stopButtons[d.firstStop], Lamp::Lit);
  if (settings_.ThruMode == 1) paint(view_.greatDivision, Lamp::Lit);
}

bool Combinations::storeFixedIfRequested() {
  if (!fixedSaveRequested_) return false;
  for (int i = 1; i <= 12; ++i) bank_.memory(i + 12) = bank_.memory(i);
  fixedSaveRequested_ = false;
  return true;
}

}  // namespace kalvant

#pragma once
// The registration: the stop chosen in each division, the tremolos, volumes,
// couplers and active division as a Registration; the combination memories
// with REC and CLEAR; the memory files. AGGIORNAMENTO_KALVO is the one
// procedure through which every registration change reaches the module.

#include <functional>
#include <string>

#include "common/Services.h"
#include "common/Settings.h"
#include "registration/CombinationsView.h"
#include "registration/MemoryBank.h"
#include "registration/UndoStep.h"
#include "sound/Sound.h"
#include "stops/StopsTable.h"
#include "sysex/OutputSchedule.h"

namespace kalvant {

// What the registration asks of the console.
struct CombinationsHooks {
  std::function<bool(const std::string& question)> ask;
  std::function<void(const std::string& text, MessageIcon icon)> tell;
  // File dialogs for one extension: 0 when a file was chosen.
  std::function<int(const std::string&title, const std::string&ext, std::string&file)> openDialog,
      saveDialog;
  std::function<void()> reset;         // RESET_Click
  std::function<void()> saveSettings;  // Salva_dati_di_avvio
};

class Combinations {
 public:
  Combinations(Settings& settings, Sound& sound, OutputSchedule& output, CombinationsHooks hooks);
  Combinations(const Combinations&) = delete;
  Combinations& operator=(const Combinations&) = delete;

  const CombinationsView& view() const { return view_; }
  std::function<void()> onChanged;  // once per change of the view

  // The configuration file reads and writes the fixed memories.
  MemoryBank& bank() { return bank_; }
  const MemoryBank& bank() const { return bank_; }
  const Registration& pending() const { return bank_.pending; }
  bool freeMemoriesUnsaved() const { return freeMemoriesUnsaved_; }
  int currentMemory() const { return currentMemory_; }
  // The memory sequencer's position: the last memory recalled (or stored),
  // 0 before the first and after CLEAR.
  int sequencePosition() const { return anyRecalled_ ? currentMemory_ : 0; }
  void setLedPictures(std::string greenOn, std::string greenOff, std::string yellowOn);
  // Stop and division names from the stops table; stops without data are off.
  void nameStops(const StopsTable& table);

  void Tiranti_Click(int Index);
  void AGGIORNAMENTO_KALVO();
  // The live registration to a module that was away (power-cycled,
  // unplugged): the three live stops, then the sound settings.
  void resendLive();
  void Marca_Led_giallo();
  void c_memory_Click(int Index);
  void Graduatore_Click(int Index);
  void Rec_button_Click();
  void CANCEL_Click();
  void Labelmode_Click();
  void Scrivi_Label_memorie();
  void Scrivi_ToolTips_Led_memorie();
  void SaveFIXED_Click();
  void savefile_Click();
  void Loadfile_Click();
  // Edit > Undo: gives back what the last REC, recall or CLEAR replaced; a
  // restored registration is sent as a recall sends it. One level: after
  // an undo there is nothing left to undo.
  void Undo_Click();
  bool canUndo() const { return undo_.kind != UndoKind::Nothing; }
  void forgetUndo();
  void Tir_TREMOLOGO_Click();
  void TIR_TREMOLOSW_Click();
  void colori_tasti_GOSWPE();
  void GREAT_Click();
  void SWELL_Click();
  void PEDALE_Click();
  void UNI_II_Click();
  void UNII_I_Click();
  void UNPI_Click();
  void UNPII_Click();

  // Salva_dati_di_avvio's memory side: after SaveFIXED the free memories
  // become the fixed ones; true when they did.
  bool storeFixedIfRequested();
  void forgetFixedSaveRequest() { fixedSaveRequested_ = false; }
  // RESET's steps, in its order.
  void unlightStops();
  void paintFixedBar(int lit);  // the first `lit` bars lit, the rest dark
  void showReset();

 private:
  struct CouplerPair;
  void sendStopIfChanged(std::int16_t Registration::*stop, int division);
  void toggleTremolo(std::int16_t Registration::*state, int division);
  void chooseDivision(int code);
  void toggleCoupler(const CouplerPair& pair, int code);
  void clearMemoryLeds();  // REC off, no memory lit, memory 1 current
  // Undo: what a recall or CLEAR is about to replace; keep it as the step.
  UndoStep registrationStep(UndoKind kind, int memory) const;
  void remember(const UndoStep& step);
  void restoreRegistration(const UndoStep& step);
  // Memory LED i shows `picture`; `words` say what it means.
  void showLed(int i, const std::string& picture, const char* words);
  void paint(ButtonView& b, Lamp lamp) { set(b.lamp, lamp); }
  void paintCouplerPair(ButtonView& first, ButtonView& second, int code);
  template <class T>
  void set(T& field, const T& value) {
    setView(field, value, onChanged);
  }

  Settings& settings_;
  Sound& sound_;
  OutputSchedule& output_;
  CombinationsHooks hooks_;
  CombinationsView view_;
  MemoryBank bank_;
  bool recArmed_ = false;
  bool memoryShownGreen_ = false;  // the current memory's LED is green
  int currentMemory_ = 1;
  bool anyRecalled_ = false;
  bool freeMemoriesUnsaved_ = false;
  bool fixedSaveRequested_ = false;
  UndoStep undo_;
  std::string greenOnPath_, greenOffPath_, yellowOnPath_;
};

}  // namespace kalvant

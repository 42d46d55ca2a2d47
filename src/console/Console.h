#pragma once
// The console: its state, its panel and every procedure of the organ, free of
// widgets. Handlers carry the names of the controls and events they serve
// (Tiranti_Click, MIDIInput1_Message); procedures that act for the whole
// console carry upper-case names (CARICAMENTO_DAT, AGGIORNAMENTO_KALVO).
//
// Everything runs on the GUI thread. The only re-entrancy is event pumping:
// Waiting_Timer (sysex and reset pauses) and the input handlers let other
// handlers run, so any handler may run inside another one.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "common/OrganDivisions.h"
#include "common/Services.h"
#include "console/Panel.h"
#include "console/State.h"
#include "midi/MidiPort.h"
// The stops table editor.
#include "stops/Editor.h"
#include "sysex/ModuleOutput.h"
#include "sysex/SysexSender.h"

namespace kalvant {

struct CouplerPair;
struct VolumeSlider;
struct TremoloButton;

// The file name part of a path: the text after the last '\' or '/'.
void Estrae_nome(const std::string& S_in, std::string& S_out);
std::string Estrae_nome(const std::string& path);

struct ConsoleWorld {
  UserDialogs& user;
  EventLoop& loop;
  midi::MidiInput& MIDIInput1;
  midi::MidiInput& MIDIInput2;
  midi::MidiOutput& MIDIOutput1;
  std::string programDir;  // no trailing separator
};

class Console {
 public:
  explicit Console(const ConsoleWorld& world);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  ConsoleState s;
  Panel panel;

  // Asks the window to close itself (closing then runs Form_Unload).
  std::function<void()> requestClose;

  // True once shutdown has finished: no further event is to be handled.
  bool ended() const { return ended_; }
  std::string programFile(const std::string& name) const;
  const std::string& programDir() const { return w_.programDir; }

  // --- Start-up and shutdown
  void Form_Load();
  void Form_Unload(bool& cancel);
  void exit_Click();
  void Timer1_Timer();

  // --- Configuration file
  void READ_FILE_AVVIO();
  void Salva_dati_di_avvio();
  void EnableCFG_Click();

  // --- MIDI devices and ports
  void MIDI_DEVICES_ACK();
  void MIDI_OPENING();
  void CHIUSURA_PORTE_MIDI();
  void SetMidi_Click();
  // The setup dialog Set_up: list clicks take the clicked position.
  void InputDev1Combo_Click(int position);
  void InputDev2Combo_Click(int position);
  void outputDevcombo_Click(int position);
  void Setup_Slider1_Scroll(int value);  // sysex delay
  void Setup_Slider2_Scroll(int value);  // note delay
  void Setup_OK_Click();
  void Setup_CANCEL_Click();
  void Setup_Close();  // the dialog's close box
  void Fine_Setup();
  void MIDIInput1_Error(int code, const std::string& message);
  void MIDIInput2_Error(int code, const std::string& message);
  void MIDIOutput1_Error(int code, const std::string& message);

  // --- Reset and sysex
  void RESET_Click();
  void RESET_kalvant();
  void INVIO_SYSEX(int N);
  void Waiting_Timer(int msec);

  // --- Stops table
  void CARICAMENTO_DAT();
  void EditCFG_Click();
  // File dialogs restricted to one extension (".dat", ".syx", ".sqs"): 0
  // when a file with that extension was chosen (FileName then holds its full
  // path), 1 when cancelled or refused (FileName unchanged).
  int OpenDialog(const std::string& title, const std::string& extension, std::string& FileName);
  int SaveDialog(const std::string& title, const std::string& extension, std::string& FileName);
  // The stops table editor window and its state.
  Compilatore compilatore{*this};

  // --- MIDI routing, divisions, couplers, hotkeys, PANIC
  void MIDIInput1_Message();
  void MIDIInput2_Message();
  void MidiTHRU_Click();
  // The "Midi Thru Mode" dialog.
  void Thru_choose_Click(int Index);
  void Custom_Thru_label_Click(int Index);
  void Thru_OK_Click();
  void Thru_CANCEL_Click();
  void Thru_Close();  // the dialog's close box: as OK
  void Thru_Refresh();
  void Total_Recall(int Nota, int Canale);
  void colori_tasti_GOSWPE();
  void GREAT_Click();
  void SWELL_Click();
  void PEDALE_Click();
  void UNI_II_Click();
  void UNII_I_Click();
  void UNPI_Click();
  void UNPII_Click();
  void Panic_Click();
  void Form_KeyDown(int KeyCode, int Shift);
  void Form_KeyPress(int KeyAscii);

  // --- Registration and memories
  void Tiranti_Click(int Index);
  void AGGIORNAMENTO_KALVO();
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

  // --- Sound settings
  void Temperament_Click(int value);  // Equal 0, Mean Tone 1, Silbermann 2, Kirnberger 3
  void Aggiusta_Check_Menu();
  void Reverb_Click(int type);  // Church 0, Cathedral 1, Chapel 2
  void Adjust_Reverb_check();
  void Tir_TREMOLOGO_Click();
  void TIR_TREMOLOSW_Click();
  void TREMOLO_GO(int State);
  void TREMOLO_SW(int State);
  void tremoloRate_Click();
  // The "Tremolo Rate Setting" dialog.
  void Tremolo_Slider1_Scroll(int value);
  void Tremolo_OK_Click();
  void Tremolo_CANCEL_Click();
  void Aggiorna_Tremolo();
  void Slider1_Scroll();
  void Slider2_Scroll();
  void Couplingsliders_Click();
  void Accoppia_Sliders();
  void TEMPERAMENTO_GO();
  void TEMPERAMENTO_SWELL();
  void TEMPERAMENTO_PE();

  // --- About and help
  void About_Click();
  void Help1_Click();

 private:
  // The stops table editor asks and tells through the console's dialogs.
  friend class Compilatore;
  // A message box, unless the console has already shut down (a close
  // request can arrive during start-up's pauses).
  void tell(const std::string& text, MessageIcon icon);
  bool ask(const std::string& question);
  void sendStopIfChanged(std::int16_t Registration::*stop, const OrganDivision& division,
                         void (Console::*temperament)());
  void setSliderPosition(SliderView& slider, int value);
  void chooseDivision(int code);
  void drainInput(int input, midi::MidiInput& port);
  void handleMessage(int input, const midi::InMessage& m);
  bool releaseHeldNote(int input, const midi::InMessage& m);
  void releaseHeldNotes();  // before the output closes
  void showOverload(int input, const midi::MidiInput& port, bool drained);
  void volumePedal(int input, int division, int value);
  void bendSwitch(int which);
  void selectStopByNumber(int division);
  void stepTremoloRate(int step);
  void stepVolume(int division, int step);
  void toggleCoupler(const CouplerPair& pair, int code);
  void scrollVolume(const VolumeSlider& slider);
  void moveVolume(int division, int value);  // 0 Great, 1 Swell
  void toggleTremolo(const TremoloButton& tremolo);
  void sendTremolo(const TremoloButton& tremolo, int State);
  void readFixedMemoryFile();
  void showCouplingButton();
  void unloadSetup();
  // Shared by recall, CLEAR and RESET.
  void paintFixedBar(int lit);  // the first `lit` bars lit, the rest dark
  void unlightStops();
  void clearMemoryLeds();  // REC off, no memory lit, memory 1 current
  ConsoleWorld w_;
  ModuleOutput output_{w_.MIDIOutput1};
  SysexSender sysex_{output_, w_.loop, s.StopsTable, s.settings.SysexDelay,
                     [this] { return ended_; }};
  // What the status line last said about each input's dropped messages.
  std::array<std::uint64_t, 2> droppedShown_{};
  std::chrono::steady_clock::time_point overloadShownAt_{};
  bool closing_ = false;
  bool readingSettings_ = false;  // start-up has not read every setting yet
  bool ended_ = false;
};

}  // namespace kalvant

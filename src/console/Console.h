#pragma once
// The console: its state, its panel and every procedure of the organ, free of
// widgets. Handlers carry the names of the controls and events they serve
// (Tiranti_Click, MIDIInput1_Message); procedures that act for the whole
// console carry upper-case names (CARICAMENTO_DAT, AGGIORNAMENTO_KALVO).
//
// Everything here runs on the GUI thread, and every procedure runs to
// completion at once: what it sends is scheduled, never waited for. The
// only re-entrancy left is a modal box, during which other handlers run.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>

#include "about/AboutHelp.h"
#include "common/OrganDivisions.h"
#include "common/Services.h"
#include "console/Panel.h"
#include "console/State.h"
#include "midi/BuiltInSynthControl.h"
#include "midi/MidiPort.h"
#include "ports/MidiSetup.h"
#include "registration/Combinations.h"
#include "routing/InputRouter.h"
#include "sound/Sound.h"
// The stops table in play, its editor and the file dialogs.
#include "stops/FileDialogs.h"
#include "stops/StopsTableEditor.h"
#include "stops/TableInPlay.h"
#include "sysex/ModuleOutput.h"
#include "sysex/OutputSchedule.h"

namespace kalvant {

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
  // The output's built-in synthesizer, when it offers one (its box in Setup).
  midi::BuiltInSynthControl* builtInSynth = nullptr;
  // The read-only pictures and help; "" = the program directory.
  std::string resourceDir = {};
};

class Console {
  // Every box the console opens lets the keyboards play on while it waits
  // for the user (set up first: the parts below are given it).
  DialogsThatLetGo dialogs_;

 public:
  explicit Console(const ConsoleWorld& world);
  // The ports outlive the console: they stop routing through it first.
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  ConsoleState s;
  Panel panel;

  // Asks the window to close itself (closing then runs Form_Unload).
  std::function<void()> requestClose;

  // Setup > MIDI Monitor: the window that shows the traffic opens itself.
  std::function<void()> openMonitor;
  void MidiMonitor_Click() {
    if (openMonitor) openMonitor();
  }

  // True once shutdown has finished: no further event is to be handled.
  bool ended() const { return ended_; }
  // True from an accepted close request until shutdown has finished (the
  // module is still hearing its reset).
  bool closing() const { return closing_ && !ended_; }
  std::string programFile(const std::string& name) const;
  std::string resourceFile(const std::string& name) const;
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
  // The built-in synthesizer's box of the setup dialog.
  void SynthDriver_Click(int position);
  void SynthSoundfont_Browse();
  void SynthSoundfont_Default();
  const ports::MidiSetup& midiSetup() const { return midiSetup_; }
  void Fine_Setup();
  void MIDIInput1_Error(int code, const std::string& message);
  void MIDIInput2_Error(int code, const std::string& message);
  void MIDIOutput1_Error(int code, const std::string& message);
  // Devices came, went or were renamed; the second's device watch.
  void MIDI_Devices_Changed();
  void watchDevices();
  // The live registration to a module that was switched off and on again.
  void Resend_Click();

  // --- Reset and sysex
  void RESET_Click();
  void RESET_kalvant();
  void INVIO_SYSEX(int N);
  // Nothing more reaches the module for msec; the caller does not wait.
  void Waiting_Timer(int msec);

  // --- Stops table: the table in play and its editor window
  TableInPlay stopsTable;
  StopsTableEditor stopsTableEditor;
  void CARICAMENTO_DAT();
  void EditCFG_Click();
  // File dialogs restricted to one extension (".dat", ".syx", ".sqs"): 0
  // when a file with that extension was chosen (FileName then holds its full
  // path), 1 when cancelled or refused (FileName unchanged).
  int OpenDialog(const std::string& title, const std::string& extension, std::string& FileName);
  int SaveDialog(const std::string& title, const std::string& extension, std::string& FileName);

  // --- MIDI routing, divisions, couplers, hotkeys, PANIC
  void MIDIInput1_Message();
  void MIDIInput2_Message();
  void MidiTHRU_Click();
  // The "MIDI Thru Mode" dialog.
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
  const routing::InputRouter& router() const { return router_; }

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
  // --- Edit > Undo: the last REC, recall or CLEAR (see Combinations::Undo_Click)
  void Undo_Click();

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
  // The "Tremolo Rate" dialog.
  void Tremolo_Slider1_Scroll(int value);
  void Tremolo_OK_Click();
  void Tremolo_CANCEL_Click();
  void Aggiorna_Tremolo();
  void Slider1_Scroll(int value);  // the knob where the player put it
  void Slider2_Scroll(int value);
  void Couplingsliders_Click();
  void Accoppia_Sliders();
  void TEMPERAMENTO_GO();
  void TEMPERAMENTO_SWELL();
  void TEMPERAMENTO_PE();
  const Sound& sound() const { return sound_; }
  // The registration, its memories and their lamps.
  Combinations& registration() { return registration_; }
  const Combinations& registration() const { return registration_; }

  // --- Memory sequencer: one step through free memories 1..12 then fixed
  // 1..12, round again, recalled as their buttons do; from the console's
  // arrow buttons, Page Up/Page Down and the MIDI foot switches.
  void Sequencer_Next();
  void Sequencer_Previous();
  void Sequencer_Step(int direction);  // +1 next, -1 previous
  // Setup's "foot switches step through the memories": the dialog's choice,
  // saved beside KALVANT.CFG by OK.
  bool footSwitchesChosen() const { return footSwitchesChosen_; }
  void FootSwitches_Click(bool on);

  // --- About and help
  AboutHelp aboutHelp;
  void About_Click();
  void Help1_Click();

 private:
  // A message box, unless the console has already shut down (a close
  // request can arrive inside start-up's message boxes).
  void tell(const std::string& text, MessageIcon icon);
  bool ask(const std::string& question);
  void bendSwitch(int which);
  void moveVolume(int division, int value);  // 0 Great, 1 Swell
  void readFixedMemoryFile();
  void offerSetup();  // the first start's question
  // The stop buttons and division names after the table in play changed.
  void showTableInPlay();
  void enableTable(const std::string& datPath);
  // The shared change notification, for the parts that own their views.
  // Any change may be one the routing reads: the driver thread gets it.
  void panelChanged() {
    router_.publish();
    if (panel.onChanged) panel.onChanged();
  }
  // Shutdown's end, once the module has heard its reset.
  void shutdownSent();
  void finishShutdown();
  // A close request was accepted or shutdown has finished: start-up stops.
  bool stopping() const { return closing_ || ended_; }
  ConsoleWorld w_;
  ModuleOutput output_{w_.MIDIOutput1};
  FileDialogs files_{dialogs_, [this] { return ended_; }};
  OutputSchedule schedule_{output_, w_.loop, stopsTable.table(), s.settings.SysexDelay};
  Sound sound_{s.settings, schedule_};
  Combinations registration_{
      s.settings,
      sound_,
      schedule_,
      {[this](const std::string& q) { return ask(q); },
       [this](const std::string& text, MessageIcon icon) { tell(text, icon); },
       [this](const std::string& t, const std::string& e, std::string& f) {
         return OpenDialog(t, e, f);
       },
       [this](const std::string& t, const std::string& e, std::string& f) {
         return SaveDialog(t, e, f);
       },
       [this] { RESET_Click(); }, [this] { Salva_dati_di_avvio(); }}};
  // The routing's commands, carried out through the entry points.
  struct RouterActions final : routing::RouterActions {
    explicit RouterActions(Console& console) : k(console) {}
    void run(const routing::ConsoleAction& action) override;
    routing::Keyboards keyboards() const override;
    bool ended() const override { return k.ended_; }
    Console& k;
  };
  RouterActions routerActions_{*this};
  routing::InputRouter router_{output_,
                               {s.settings.ThruMode, s.settings.TremoloValue,
                                s.settings.FixedChannel, s.settings.SlidersCoupled},
                               routerActions_,
                               [this] { panelChanged(); }};
  ports::MidiSetup midiSetup_{
      {w_.MIDIInput1, w_.MIDIInput2, w_.MIDIOutput1, w_.builtInSynth},
      {s.settings.InDev1, s.settings.InDev2, s.settings.OutDev, s.settings.SysexDelay,
       s.settings.NoteDelay},
      dialogs_,
      {[this](const std::string& text) { tell(text, MessageIcon::None); },
       [this](const std::string& text) {
         if (!ended_) w_.user.notice(text);
       },
       // At shutdown the module has just been reset, which silenced every note.
       [this] {
         if (!closing_) router_.releaseHeldNotes();
       },
       [this](int input) { router_.releaseHeldNotes(input); }, [this] { Resend_Click(); },
       [this] { Fine_Setup(); }, [this] { afterSetupCancel(); }, [this] { panelChanged(); }},
      programFile(ports::kDeviceFileName)};
  // What the module holds, as far as the console knows: while the setup
  // dialog has the ports closed, a change reaches no module.
  using ModuleState = std::tuple<Registration, i16, i16, i16, i16, i16>;
  ModuleState moduleState() const;
  void afterSetupCancel();
  ModuleState moduleStateAtSetup_;
  bool closing_ = false;
  bool shutdownSent_ = false;     // the schedule drained after the shutdown's reset
  bool readingSettings_ = false;  // start-up has not read every setting yet
  bool firstStart_ = false;       // there was no configuration file
  bool ended_ = false;
  bool footSwitchesChosen_ = true;  // the memory sequencer's Setup choice
  void readSequencerSetting();
  void saveSequencerSetting();
};

}  // namespace kalvant

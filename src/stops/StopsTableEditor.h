#pragma once
// The stops table editor "kalvant Stops Table Editor": it names stops, divisions and
// system entries, imports sysex files into the table, loads and saves DAT
// files and finally enables the edited table on the console. It edits the
// table in play in place: a table loaded or a sysex imported here is what the
// console sends from then on; typed names reach the table when the editor
// saves or enables.
//
// The editor window renders view() and forwards its events here.

#include <functional>
#include <string>

#include "common/Services.h"
#include "stops/EditorView.h"
#include "stops/FileDialogs.h"
#include "stops/StopsTable.h"
#include "view/Views.h"

namespace kalvant {

class StopsTableEditor {
 public:
  struct Hooks {
    // True once the console has shut down: no box is shown any more.
    std::function<bool()> consoleClosed;
    // The shared change notification, once per changed view field.
    std::function<void()> changed;
    // The console takes the saved DAT file as its configured table: it saves
    // its settings, loads the table in play again and resets the module.
    std::function<void(const std::string& datPath)> enableTable;
  };
  // `configuredDatPath` is the console's setting, read when the window opens.
  StopsTableEditor(UserDialogs& user, const std::string& pictureDir, StopsTable& tableInPlay,
                   const std::string& configuredDatPath, Hooks hooks);
  StopsTableEditor(const StopsTableEditor&) = delete;
  StopsTableEditor& operator=(const StopsTableEditor&) = delete;

  const EditorView& view() const { return view_; }
  // A field edited or a sysex imported since load, save or enable.
  bool modified() const { return modified_; }
  // A DAT file loaded that the console is not configured with.
  bool unloaded() const { return unloaded_; }
  // The DAT file Load, Save and Enable work with.
  const std::string& datPath() const { return datPath_; }

  // --- The console's menu entry: opens the window, or brings it forward.
  void open();

  // --- Window events
  void Form_Load();
  // The close box: the same questions as Exit; cancel keeps the window open.
  void Form_QueryUnload(bool& cancel);
  void Form_KeyDown(int KeyCode, int Shift);
  void Text1_Click(int Index);
  void Text1_DblClick(int Index);
  void Text1_Change(int Index, const std::string& text);
  void SSTab1_Click(int page);
  void LoadDAT_Click();
  void SaveDAT_Click();
  void Enable_Click();
  void Uscita_abort_Click();
  void Command2_Click();

  // --- Procedures
  bool Load_DAT();
  bool Save_DAT();
  void Caricamento_sysex_binary();

 private:
  template <class T>
  void set(T& field, const T& value) {
    setView(field, value, hooks_.changed);
  }
  void tell(const std::string& text, MessageIcon icon);
  bool ask(const std::string& question);
  void fillFields();
  void colourFields();
  void setColor(int field, Rgb color);
  void setStatus(const std::string& text, Rgb color);
  void showLength(std::size_t bytes);
  // The question before leaving unsaved or unloaded work: true to go on.
  bool confirmLeaving(const char* onlyUnloaded, const char* onlyModified, const char* both);
  bool readSysexFile(const std::string& path, std::string& bytes);

  UserDialogs& user_;
  std::string pictureDir_;
  StopsTable& table_;
  const std::string& configuredDatPath_;
  Hooks hooks_;
  FileDialogs files_;
  EditorView view_;
  bool modified_ = false;
  bool unloaded_ = false;
  int selectedField_ = 0;
  int markedField_ = -1;                // the field shown as selected; -1: none yet
  Rgb markedFieldColor_ = kEmptySysex;  // its colour once another one is selected
  int revealPresses_ = 0;
  std::string datPath_;
};

// The table entry a field shows and edits: 0..9 labels 208..217, 10..99 the
// stop names 114..203, 100..112 labels 218..230, 113..115 the division
// names 205, 206, 207.
int editorTextEntry(int field);
// Longest sysex entry that still leaves a field white after a load.
std::size_t fullnessThreshold(int field);
// The fields 0..112 show the state of the sysex entry with their own index.
Rgb loadedColor(const StopsTable& table, int field);

}  // namespace kalvant

#pragma once
// The stops table editor "EDITOR KALVANT" (window compilatore): it names
// stops, divisions and system entries, imports sysex files into the table,
// loads and saves DAT files and finally enables the edited table on the
// console. It edits the console's own stops table in place: a table loaded
// or a sysex imported here is what the console sends from then on; typed
// names reach the table when the editor saves or enables.
//
// The window renders panel.compilatore and forwards its events here.

#include <string>

#include "stops/EditorView.h"
#include "stops/StopsTable.h"

namespace kalvant {

class Console;

class Compilatore {
 public:
  explicit Compilatore(Console& console) : k_(console) {}
  Compilatore(const Compilatore&) = delete;
  Compilatore& operator=(const Compilatore&) = delete;

  // --- Editor state (lives while the window is loaded)
  bool TableModified = false;  // a field edited or a sysex imported since load, save or enable
  bool TableUnloaded = false;  // a DAT file loaded that the console is not configured with
  int SelectedIndex = 0;
  int PrevIndex = -1;  // -1: no field selected yet
  Rgb PrevColor = kEmptySysex;
  int RevealCount = 0;
  std::string EditorDatPath;  // the DAT file Load, Save and Enable work with

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
  EditorView& view();
  void fillFields();
  void colourFields();
  void setColor(int field, Rgb color);
  void setStatus(const std::string& text, Rgb color);
  void showLength(std::size_t bytes);
  // The question before leaving unsaved or unloaded work: true to go on.
  bool confirmLeaving(const char* onlyUnloaded, const char* onlyModified, const char* both);
  bool readSysexFile(const std::string& path, std::string& bytes);
  Console& k_;
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

// The stops table editor: fields over the table, selection colours, the
// status line, and the Load, Save, Enable and Exit menus.

#include "stops/StopsTableEditor.h"

#include "common/Text.h"
#include "stops/DatFile.h"

namespace kalvant {

namespace {

// The fields and the table entries they show, in runs.
struct FieldRun {
  int firstField, lastField, firstEntry;
};
constexpr FieldRun kFieldRuns[] = {
    {0, 9, entry::kFirstLabel},  // system labels
    {entry::kFirstGreatStop, entry::kLastStop, entry::kFirstGreatStop + entry::kStopNameOffset},
    {100, 112, entry::kFirstSystemLabel},  // system labels
    {kPedalNameField, kPedalNameField, entry::kPedalName},
    {kGreatNameField, kGreatNameField, entry::kGreatName},
    {kSwellNameField, kSwellNameField, entry::kSwellName},
};

constexpr int kLastColouredField = 112;
constexpr int kKeyF9 = 120;
constexpr int kCtrlOnly = 2;
constexpr int kRevealPresses = 4;

// Stop fields tell which division they belong to and count from 1 in it.
struct StopTooltip {
  int first, last;
  const char* division;
};
constexpr StopTooltip kStopTooltips[] = {
    {entry::kFirstGreatStop, entry::kFirstSwellStop - 1, "GREAT"},
    {entry::kFirstSwellStop, entry::kFirstPedalStop - 1, "SWELL"},
    {entry::kFirstPedalStop, entry::kLastStop, "PEDAL"},
};

}  // namespace

int editorTextEntry(int field) {
  for (const FieldRun& r : kFieldRuns) {
    if (field >= r.firstField && field <= r.lastField) return r.firstEntry + field - r.firstField;
  }
  return -1;
}

std::size_t fullnessThreshold(int field) {
  // The reset, set-up and first-stop entries are only "full" when they hold
  // anything beyond a couple of bytes; everything else holds real sysex.
  constexpr int kShortLimitFields[] = {0, 1, 2, 3, 4, 5, 10, 50, 80, 100};
  for (int f : kShortLimitFields) {
    if (f == field) return 2;
  }
  return 120;
}

Rgb loadedColor(const StopsTable& table, int field) {
  return table[static_cast<std::size_t>(field)].size() > fullnessThreshold(field) ? kFullSysex
                                                                                  : kEmptySysex;
}

StopsTableEditor::StopsTableEditor(UserDialogs& user, const std::string& pictureDir,
                                   StopsTable& tableInPlay, const std::string& configuredDatPath,
                                   Hooks hooks)
    : user_(user),
      pictureDir_(pictureDir),
      table_(tableInPlay),
      configuredDatPath_(configuredDatPath),
      hooks_(std::move(hooks)),
      files_(user, hooks_.consoleClosed) {}

void StopsTableEditor::tell(const std::string& text, MessageIcon icon) {
  if (!hooks_.consoleClosed()) user_.message(text, icon);
}

bool StopsTableEditor::ask(const std::string& question) {
  return !hooks_.consoleClosed() && user_.askYesNo(question);
}

void StopsTableEditor::setColor(int field, Rgb color) {
  set(view_.fields[static_cast<std::size_t>(field)].color, color);
}

void StopsTableEditor::setStatus(const std::string& text, Rgb color) {
  set(view_.statusText, text);
  set(view_.statusColor, color);
}

void StopsTableEditor::showLength(std::size_t bytes) {
  set(view_.lengthText, std::to_string(bytes) + " Bytes");
}

// The fields show and edit UTF-8; the table holds Windows-1252 bytes, and
// Save_DAT encodes them back, so a name nobody edited is saved byte for byte.
void StopsTableEditor::fillFields() {
  for (int f = 0; f < kEditorFields; ++f) {
    set(view_.fields[static_cast<std::size_t>(f)].text,
        windows1252ToUtf8(table_[static_cast<std::size_t>(editorTextEntry(f))]));
  }
}

// Colours follow the table just loaded. A selected field stays marked, and
// the colour it gets back later is the one the new table gives it.
void StopsTableEditor::colourFields() {
  for (int f = 0; f <= kLastColouredField; ++f) setColor(f, loadedColor(table_, f));
  if (markedField_ >= 0 && markedField_ <= kLastColouredField) {
    markedFieldColor_ = loadedColor(table_, markedField_);
    setColor(markedField_, kCurrentSelected);
  }
}

void StopsTableEditor::Form_Load() {
  set(view_.iconPath, pictureDir_ + "/wrench.ico");
  selectedField_ = 0;
  set(view_.selectedText, std::string("0"));
  revealPresses_ = 0;
  markedField_ = -1;
  set(view_.systemFrameShown, false);
  set(view_.page, 0);
  for (int f = kPedalNameField; f <= kSwellNameField; ++f) setColor(f, kEmptySysex);
  for (const StopTooltip& t : kStopTooltips) {
    for (int i = t.first; i <= t.last; ++i) {
      set(view_.fields[static_cast<std::size_t>(i)].tooltip,
          std::string("Double-click to load a sysex file into ") + t.division + " field " +
              std::to_string(i - t.first + 1));
    }
  }
  set(view_.fields[kPedalNameField].tooltip,
      std::string("The name shown for the Pedal; change it as you like"));
  set(view_.fields[kSwellNameField].tooltip,
      std::string("The name shown for the Swell; change it as you like"));
  set(view_.fields[kGreatNameField].tooltip,
      std::string("The name shown for the Great; change it as you like"));
  datPath_ = configuredDatPath_;
  // When the console's file cannot be read, the editor shows the table the
  // console plays with.
  if (!Load_DAT()) {
    fillFields();
    colourFields();
  }
  showLength(table_[0].size());
  modified_ = false;
  unloaded_ = false;
  setStatus(configuredDatPath_, kEmptySysex);
}

bool StopsTableEditor::Load_DAT() {
  const DatReadResult read = readDatFile(datPath_);
  if (!read.ok) {
    tell("The stops table could not be loaded: " + read.error +
             ". The stops table and the editor are unchanged.",
         MessageIcon::Exclamation);
    return false;
  }
  table_ = read.data;
  colourFields();
  fillFields();
  return true;
}

bool StopsTableEditor::Save_DAT() {
  // The typed names join a copy first: a failed write changes nothing.
  StopsTable table = table_;
  for (int f = 0; f < kEditorFields; ++f) {
    table[static_cast<std::size_t>(editorTextEntry(f))] =
        utf8ToWindows1252(view_.fields[static_cast<std::size_t>(f)].text);
  }
  std::string error;
  if (!writeDatFile(datPath_, table, error)) {
    tell("The stops table could not be saved: " + error + ". " + datPath_ +
             " and the editor are unchanged.",
         MessageIcon::Exclamation);
    return false;
  }
  table_ = table;
  return true;
}

void StopsTableEditor::Text1_Click(int Index) {
  if (Index < 0 || Index >= kEditorFields) return;
  if (markedField_ >= 0) setColor(markedField_, markedFieldColor_);
  markedField_ = Index;
  markedFieldColor_ = view_.fields[static_cast<std::size_t>(Index)].color;
  setColor(Index, kCurrentSelected);
  selectedField_ = Index;
  set(view_.selectedText, std::to_string(Index));
  showLength(table_[static_cast<std::size_t>(Index)].size());
}

void StopsTableEditor::Text1_Change(int Index, const std::string& text) {
  if (Index < 0 || Index >= kEditorFields) return;
  set(view_.fields[static_cast<std::size_t>(Index)].text, text);
  modified_ = true;
  setStatus("Warning: modified and not saved.", kModifiedNow);
}

void StopsTableEditor::SSTab1_Click(int page) {
  set(view_.page, page);
}

void StopsTableEditor::Form_KeyDown(int KeyCode, int Shift) {
  if (KeyCode != kKeyF9 || Shift != kCtrlOnly) return;
  if (++revealPresses_ >= kRevealPresses) set(view_.systemFrameShown, true);
}

bool StopsTableEditor::confirmLeaving(const char* onlyUnloaded, const char* onlyModified,
                                      const char* both) {
  if (!modified_ && !unloaded_) return true;
  const char* text = modified_ && unloaded_ ? both : modified_ ? onlyModified : onlyUnloaded;
  return ask(text);
}

void StopsTableEditor::LoadDAT_Click() {
  if (!confirmLeaving(
          "Warning! This stops table is not enabled in kalvant. Load another table anyway?",
          "Warning! This stops table is modified and not saved. Load another table anyway?",
          "Warning! This stops table is modified, not saved and not enabled in kalvant. Load "
          "another table anyway?"))
    return;
  const std::string before = datPath_;
  if (files_.OpenDialog("Load Stops Table", ".dat", datPath_) != 0) return;
  if (!Load_DAT()) {
    datPath_ = before;
    return;
  }
  setStatus("Stops table loaded from: " + datPath_, kModifiedNow);
  unloaded_ = true;
  modified_ = false;
}

void StopsTableEditor::SaveDAT_Click() {
  std::string chosen = datPath_;
  if (files_.SaveDialog("Save Stops Table", ".dat", chosen) != 0) return;
  const std::string before = datPath_;
  datPath_ = chosen;
  if (!Save_DAT()) {
    datPath_ = before;
    return;
  }
  setStatus("Stops table saved in: " + datPath_, kEmptySysex);
  modified_ = false;
}

void StopsTableEditor::Enable_Click() {
  if (!ask("Warning: kalvant will play with this stops table. Proceed anyway?")) return;
  // Written first: a table that cannot be saved is not enabled.
  if (!Save_DAT()) return;
  modified_ = false;
  unloaded_ = false;
  setStatus("Stops table enabled and saved in: " + datPath_, kEmptySysex);
  hooks_.enableTable(datPath_);
}

void StopsTableEditor::Uscita_abort_Click() {
  bool cancel = false;
  Form_QueryUnload(cancel);
}

void StopsTableEditor::Form_QueryUnload(bool& cancel) {
  cancel = !confirmLeaving(
      "Warning! This stops table is not enabled in kalvant. Close the editor anyway?",
      "Warning! This stops table is modified and not saved. Close the editor anyway?",
      "Warning! This stops table is modified, not saved and not enabled in kalvant. Close the "
      "editor anyway?");
  if (!cancel) set(view_.visible, false);
}

void StopsTableEditor::open() {
  if (!view_.visible) {
    Form_Load();
    set(view_.visible, true);
  }
  set(view_.raises, view_.raises + 1);
}

}  // namespace kalvant

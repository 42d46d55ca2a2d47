// The stops table editor: fields over the table, selection colours, the
// status line, and the Load, Save, Enable and Exit menus.

#include "stops/Editor.h"

#include "console/Console.h"
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

EditorView& Compilatore::view() {
  return k_.panel.compilatore;
}

void Compilatore::setColor(int field, Rgb color) {
  k_.panel.set(view().Text1[static_cast<std::size_t>(field)].color, color);
}

void Compilatore::setStatus(const std::string& text, Rgb color) {
  k_.panel.set(view().File_label, text);
  k_.panel.set(view().File_labelColor, color);
}

void Compilatore::showLength(std::size_t bytes) {
  k_.panel.set(view().Label4, std::to_string(bytes) + " Bytes");
}

void Compilatore::fillFields() {
  for (int f = 0; f < kEditorFields; ++f) {
    k_.panel.set(view().Text1[static_cast<std::size_t>(f)].text,
                 k_.s.StopsTable[static_cast<std::size_t>(editorTextEntry(f))]);
  }
}

// Colours follow the table just loaded. A selected field stays marked, and
// the colour it gets back later is the one the new table gives it.
void Compilatore::colourFields() {
  for (int f = 0; f <= kLastColouredField; ++f) setColor(f, loadedColor(k_.s.StopsTable, f));
  if (PrevIndex >= 0 && PrevIndex <= kLastColouredField) {
    PrevColor = loadedColor(k_.s.StopsTable, PrevIndex);
    setColor(PrevIndex, kCurrentSelected);
  }
}

void Compilatore::Form_Load() {
  k_.panel.set(view().iconPath, k_.programFile("wrench.ico"));
  SelectedIndex = 0;
  k_.panel.set(view().Label2, std::string("0"));
  RevealCount = 0;
  PrevIndex = -1;
  k_.panel.set(view().Frame_reserved, false);
  k_.panel.set(view().SSTab1, 0);
  for (int f = kPedalNameField; f <= kSwellNameField; ++f) setColor(f, kEmptySysex);
  for (const StopTooltip& t : kStopTooltips) {
    for (int i = t.first; i <= t.last; ++i) {
      k_.panel.set(view().Text1[static_cast<std::size_t>(i)].tooltip,
                   std::string("Double Click to load ") + t.division + " sysex file on field " +
                       std::to_string(i - t.first + 1));
    }
  }
  k_.panel.set(view().Text1[kPedalNameField].tooltip, std::string("Change PEDAL text as you want"));
  k_.panel.set(view().Text1[kSwellNameField].tooltip, std::string("Change SWELL text as you want"));
  k_.panel.set(view().Text1[kGreatNameField].tooltip,
               std::string("Change GREAT  text as you want"));
  EditorDatPath = k_.s.settings.DatFilePath;
  // When the console's file cannot be read, the editor shows the table the
  // console plays with.
  if (!Load_DAT()) {
    fillFields();
    colourFields();
  }
  showLength(k_.s.StopsTable[0].size());
  TableModified = false;
  TableUnloaded = false;
  setStatus(k_.s.settings.DatFilePath, kEmptySysex);
}

bool Compilatore::Load_DAT() {
  const DatReadResult read = readDatFile(EditorDatPath);
  if (!read.ok) {
    k_.tell("The stops table could not be loaded: " + read.error +
                ". The stops table and the editor are unchanged.",
            MessageIcon::Exclamation);
    return false;
  }
  k_.s.StopsTable = read.table;
  colourFields();
  fillFields();
  return true;
}

bool Compilatore::Save_DAT() {
  // The typed names join a copy first: a failed write changes nothing.
  StopsTable table = k_.s.StopsTable;
  for (int f = 0; f < kEditorFields; ++f) {
    table[static_cast<std::size_t>(editorTextEntry(f))] =
        view().Text1[static_cast<std::size_t>(f)].text;
  }
  std::string error;
  if (!writeDatFile(EditorDatPath, table, error)) {
    k_.tell("The stops table could not be saved: " + error + ". " + EditorDatPath +
                " and the editor are unchanged.",
            MessageIcon::Exclamation);
    return false;
  }
  k_.s.StopsTable = table;
  return true;
}

void Compilatore::Text1_Click(int Index) {
  if (Index < 0 || Index >= kEditorFields) return;
  if (PrevIndex >= 0) setColor(PrevIndex, PrevColor);
  PrevIndex = Index;
  PrevColor = view().Text1[static_cast<std::size_t>(Index)].color;
  setColor(Index, kCurrentSelected);
  SelectedIndex = Index;
  k_.panel.set(view().Label2, std::to_string(Index));
  showLength(k_.s.StopsTable[static_cast<std::size_t>(Index)].size());
}

void Compilatore::Text1_Change(int Index, const std::string& text) {
  if (Index < 0 || Index >= kEditorFields) return;
  k_.panel.set(view().Text1[static_cast<std::size_t>(Index)].text, text);
  TableModified = true;
  setStatus("Warning : Modified and UNSAVED Config.", kModifiedNow);
}

void Compilatore::SSTab1_Click(int page) {
  k_.panel.set(view().SSTab1, page);
}

void Compilatore::Form_KeyDown(int KeyCode, int Shift) {
  if (KeyCode != kKeyF9 || Shift != kCtrlOnly) return;
  if (++RevealCount >= kRevealPresses) k_.panel.set(view().Frame_reserved, true);
}

bool Compilatore::confirmLeaving(const char* onlyUnloaded, const char* onlyModified,
                                 const char* both) {
  if (!TableModified && !TableUnloaded) return true;
  const char* text = TableModified && TableUnloaded ? both
                     : TableModified                ? onlyModified
                                                    : onlyUnloaded;
  return k_.ask(text);
}

void Compilatore::LoadDAT_Click() {
  if (!confirmLeaving(
          " Warning! Current Stops Table is Unloaded in kalvant. Load new Table Anyway?",
          " Warning! Stops Table is modified but Unsaved. Load new Table Anyway?",
          "Stops Table is modified but Unsaved and Unloaded in kalvant. Load new Table anyway?"))
    return;
  const std::string before = EditorDatPath;
  if (k_.OpenDialog("kalvant Stops Table file: Loading DAT File ", ".dat", EditorDatPath) != 0)
    return;
  if (!Load_DAT()) {
    EditorDatPath = before;
    return;
  }
  setStatus("Stops table loaded from:" + EditorDatPath, kModifiedNow);
  TableUnloaded = true;
  TableModified = false;
}

void Compilatore::SaveDAT_Click() {
  std::string chosen = EditorDatPath;
  if (k_.SaveDialog("SAVE CURRENT STOPS TABLE ON *.DAT FILE", ".dat", chosen) != 0) return;
  const std::string before = EditorDatPath;
  EditorDatPath = chosen;
  if (!Save_DAT()) {
    EditorDatPath = before;
    return;
  }
  setStatus("Stops table saved on: " + EditorDatPath, kEmptySysex);
  TableModified = false;
}

void Compilatore::Enable_Click() {
  if (!k_.ask("Warning : kalvant will be configured with current data : proceed anyway?")) return;
  // Written first: a table that cannot be saved is not enabled.
  if (!Save_DAT()) return;
  k_.s.settings.DatFilePath = EditorDatPath;
  TableModified = false;
  TableUnloaded = false;
  k_.panel.setText(k_.panel.Label_fileDAT, "Stops Table: " + k_.s.settings.DatFilePath);
  setStatus("Stops Table is Enabled and Saved on: " + k_.s.settings.DatFilePath, kEmptySysex);
  k_.Salva_dati_di_avvio();
  k_.CARICAMENTO_DAT();
  k_.RESET_kalvant();
}

void Compilatore::Uscita_abort_Click() {
  bool cancel = false;
  Form_QueryUnload(cancel);
}

void Compilatore::Form_QueryUnload(bool& cancel) {
  cancel = !confirmLeaving(
      " Warning! Current Stops Table is Unloaded in kalvant. Exit Anyway?",
      " Warning! Stops Table is Modified but Unsaved. Exit Anyway?",
      " Warning! Stops Table is modified but Unsaved and Unloaded in kalvant. Exit Anyway?");
  if (!cancel) k_.panel.set(view().visible, false);
}

void Console::EditCFG_Click() {
  if (!panel.compilatore.visible) {
    compilatore.Form_Load();
    panel.set(panel.compilatore.visible, true);
  }
  panel.set(panel.compilatore.raises, panel.compilatore.raises + 1);
}

}  // namespace kalvant

// The editor window's controls, built from tables: the menu, the division
// pages with their stop fields in columns of ten, the global page with the
// system entries, and the bottom panel with the legend and the status line.

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

#include "ui/EditorWindow.h"
#include "ui/QtText.h"

namespace kalvant::ui {

namespace {

constexpr int kColumnLength = 10;

struct DivisionBlock {
  int page;
  const char* heading;  // Label7
  int nameField;
  int firstStop, lastStop;
};
constexpr DivisionBlock kDivisionBlocks[] = {
    {0, "PEDAL", kPedalNameField, kPedalDivision.firstStop, kPedalDivision.lastStop},
    {0, "SWELL", kSwellNameField, kSwellDivision.firstStop, kSwellDivision.lastStop},
    {1, "GREAT", kGreatNameField, kGreatDivision.firstStop, kGreatDivision.lastStop},
};

struct LegendEntry {
  Rgb color;
  const char* caption;
};
constexpr LegendEntry kLegend[] = {
    {kEmptySysex, "Empty Sysex"},
    {kFullSysex, "Full Sysex"},
    {kCurrentSelected, "Selected"},
    {kModifiedNow, "Modified"},
};

struct MenuEntry {
  const char* name;  // "" for a separator
  const char* caption;
  void (StopsTableEditor::*handler)();
};
constexpr MenuEntry kFileMenu[] = {
    {"LoadDAT", "&Load Stops Table\u2026", &StopsTableEditor::LoadDAT_Click},
    {"SaveDAT", "&Save Stops Table\u2026", &StopsTableEditor::SaveDAT_Click},
    {"", "", nullptr},
    {"Enable", "&Enable This Stops Table in kalvant", &StopsTableEditor::Enable_Click},
    {"", "", nullptr},
    {"Uscita_abort", "&Close Editor", &StopsTableEditor::Uscita_abort_Click},
};

QLabel* small(const QString& text) {
  auto* l = new QLabel(text);
  QFont f = l->font();
  f.setPointSizeF(f.pointSizeF() * 0.8);
  l->setFont(f);
  return l;
}

QString columnHeading(int column) {
  return QStringLiteral("%1..%2").arg(column * kColumnLength + 1).arg((column + 1) * kColumnLength);
}

}  // namespace

void EditorWindow::buildMenus() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("&File"));
  menu->setObjectName("Filemenu");
  for (const MenuEntry& m : kFileMenu) {
    if (!m.handler) {
      menu->addSeparator();
      continue;
    }
    QAction* a = menu->addAction(toQt(m.caption));
    a->setObjectName(m.name);
    const auto handler = m.handler;
    connect(a, &QAction::triggered, this,
            [this, handler] { std::invoke(handler, k_.stopsTableEditor); });
  }
}

QLineEdit* EditorWindow::makeField(int index) {
  auto* w = new QLineEdit;
  w->setObjectName(QStringLiteral("field_%1").arg(index));
  w->setProperty("Index", index);
  w->setMinimumWidth(120);
  w->installEventFilter(this);
  connect(w, &QLineEdit::textEdited, this, [this, index](const QString& text) {
    k_.stopsTableEditor.Text1_Change(index, fromQt(text));
  });
  fields_[static_cast<std::size_t>(index)] = w;
  return w;
}

QWidget* EditorWindow::buildStopColumns(int first, int last) {
  auto* box = new QWidget;
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  for (int i = first; i <= last; ++i) {
    const int n = i - first;
    const int column = n / kColumnLength, row = n % kColumnLength;
    if (row == 0) grid->addWidget(small(columnHeading(column)), 0, column * 2 + 1);
    grid->addWidget(small(QString::number(n + 1)), row + 1, column * 2, Qt::AlignRight);
    grid->addWidget(makeField(i), row + 1, column * 2 + 1);
  }
  return box;
}

QWidget* EditorWindow::buildDivisionPage(int page) {
  auto* w = new QWidget;
  auto* h = new QHBoxLayout(w);
  for (const DivisionBlock& d : kDivisionBlocks) {
    if (d.page != page) continue;
    auto* block = new QVBoxLayout;
    auto* heading = new QLabel(toQt(d.heading));
    heading->setObjectName("Label7");
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    auto* title = new QHBoxLayout;
    title->addWidget(heading);
    title->addWidget(makeField(d.nameField));
    title->addStretch();
    block->addLayout(title);
    block->addWidget(buildStopColumns(d.firstStop, d.lastStop));
    // Names a screen reader can say: the numbers beside the fields say little.
    fields_[static_cast<std::size_t>(d.nameField)]->setAccessibleName(
        QStringLiteral("%1 division name").arg(d.heading));
    for (int i = d.firstStop; i <= d.lastStop; ++i) {
      fields_[static_cast<std::size_t>(i)]->setAccessibleName(
          QStringLiteral("%1 stop %2").arg(d.heading).arg(i - d.firstStop + 1));
    }
    block->addStretch();
    h->addLayout(block);
  }
  return w;
}

QGroupBox* EditorWindow::buildSystemGroup(const char* caption, std::initializer_list<int> fields) {
  auto* g = new QGroupBox(toQt(caption));
  auto* grid = new QGridLayout(g);
  int row = 0;
  for (int f : fields) {
    grid->addWidget(small(QString::number(f)), row, 0, Qt::AlignRight);
    grid->addWidget(makeField(f), row++, 1);
    fields_[static_cast<std::size_t>(f)]->setAccessibleName(
        QStringLiteral("%1 %2").arg(toQt(caption)).arg(f));
  }
  return g;
}

QWidget* EditorWindow::buildGlobalPage() {
  auto* w = new QWidget;
  auto* v = new QVBoxLayout(w);
  auto* custom = new QGridLayout;
  const std::pair<int, const char*> customFields[] = {{6, "Custom Reset"}, {9, "Custom Reverb"}};
  int row = 0;
  for (const auto& [field, caption] : customFields) {
    auto* label = new QLabel(toQt(caption));
    label->setBuddy(makeField(field));
    custom->addWidget(label, row, 0);
    custom->addWidget(fields_[static_cast<std::size_t>(field)], row++, 1);
  }
  custom->setColumnStretch(2, 1);
  v->addLayout(custom);

  systemFrame_ = new QGroupBox(QStringLiteral("System Sysex"));
  systemFrame_->setObjectName("systemFrame");
  auto* grid = new QGridLayout(systemFrame_);
  grid->addWidget(buildSystemGroup("RESET", {0, 1, 2, 3, 4, 5}), 0, 0, 2, 1);
  grid->addWidget(buildSystemGroup("REVERB", {7, 8}), 0, 1);
  grid->addWidget(buildSystemGroup("SC88 RESET", {100}), 1, 1);
  grid->addWidget(buildSystemGroup("EQUAL", {101, 102, 103}), 0, 2);
  grid->addWidget(buildSystemGroup("MEAN TONE", {104, 105, 106}), 1, 2);
  grid->addWidget(buildSystemGroup("SILBERMANN", {107, 108, 109}), 0, 3);
  grid->addWidget(buildSystemGroup("KIRNBERGER", {110, 111, 112}), 1, 3);
  systemFrame_->hide();
  v->addWidget(systemFrame_);
  v->addStretch();
  return w;
}

QWidget* EditorWindow::buildBottomPanel() {
  auto* w = new QWidget;
  auto* grid = new QGridLayout(w);
  auto* legend = new QHBoxLayout;
  for (const LegendEntry& e : kLegend) {
    auto* swatch = new QLabel;
    swatch->setFixedSize(18, 14);
    swatch->setStyleSheet("QLabel { background-color: " + cssColor(e.color) +
                          "; border: 1px solid #606060; }");
    legend->addWidget(swatch);
    legend->addWidget(new QLabel(toQt(e.caption)));
    legend->addSpacing(12);
  }
  legend->addStretch();
  grid->addLayout(legend, 0, 0, 1, 5);

  auto* import = new QPushButton(QStringLiteral("Load Sysex\u2026"));
  import->setObjectName("importSysex");
  import->setToolTip(QStringLiteral("Load a sysex file into the selected field"));
  connect(import, &QPushButton::clicked, this, [this] { k_.stopsTableEditor.Command2_Click(); });
  grid->addWidget(import, 1, 0);
  selectedLabel_ = new QLabel;
  selectedLabel_->setObjectName("selectedText");
  selectedLabel_->setToolTip(QStringLiteral("The selected field"));
  selectedLabel_->setMinimumWidth(40);
  grid->addWidget(selectedLabel_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Sysex length:")), 1, 2, Qt::AlignRight);
  lengthLabel_ = new QLabel;
  lengthLabel_->setObjectName("lengthText");
  lengthLabel_->setToolTip(QStringLiteral("The selected field's sysex length, in bytes"));
  grid->addWidget(lengthLabel_, 1, 3);
  grid->setColumnStretch(4, 1);
  statusLabel_ = new QLabel;
  statusLabel_->setObjectName("statusText");
  statusLabel_->setToolTip(QStringLiteral("The stops table file and what happened to it"));
  grid->addWidget(statusLabel_, 2, 0, 1, 5);
  return w;
}

}  // namespace kalvant::ui

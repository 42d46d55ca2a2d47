// The console window's controls, built from tables: the three
// divisions with their stop buttons, couplers and volumes, the memory row.

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>
#include <optional>

#include "ui/MainWindow.h"
#include "ui/QtText.h"

namespace kalvant::ui {

QPushButton* MainWindow::makeButton(const ButtonView& view, const char* objectName,
                                    void (Console::*handler)(), const char* spoken,
                                    bool saysState) {
  auto* b = new QPushButton;
  b->setObjectName(objectName);
  takeKeys(b);
  connect(b, &QPushButton::clicked, this, [this, handler] { std::invoke(handler, k_); });
  buttons_.push_back({&view, view, b, spoken, saysState});
  return b;
}

// Every control takes the focus by Tab or a click, in the order it was
// built: the divisions left to right, each from its division button down
// its stops to its tremolo, then couplers, volumes and the memory row. Keys
// a control does not use (F1..F12, the fixed memories' keys) go on to the
// window, which hands them to the console.
void MainWindow::takeKeys(QWidget* control) {
  control->setFocusPolicy(Qt::StrongFocus);
  control->installEventFilter(this);
}

QWidget* MainWindow::buildDivision(const Division& d) {
  auto* box = new QGroupBox(toQt(d.title));
  box->setObjectName(QStringLiteral("%1_box").arg(QLatin1String(d.name)));
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(6, 6, 6, 6);
  QPushButton* divisionButton = makeButton(*d.button, d.name, d.click);
  divisionButton->setProperty("role", "division");
  v->addWidget(divisionButton);

  // Stops in columns of ten, as the drawknobs of a jamb; placeStops puts
  // the defined ones in, in order, whenever the stops table changes.
  auto* grid = new QGridLayout;
  grid->setSpacing(3);
  for (int i = d.firstStop; i <= d.lastStop; ++i) {
    auto* b = new QPushButton(box);
    b->setObjectName(QStringLiteral("Tiranti_%1").arg(i));
    b->setProperty("role", "stop");
    takeKeys(b);
    connect(b, &QPushButton::clicked, this, [this, i] { k_.Tiranti_Click(i); });
    stops_[i] = b;
  }
  stopGrids_[d.index] = grid;
  v->addLayout(grid);
  v->setAlignment(grid, Qt::AlignHCenter);
  v->addStretch();
  if (d.tremolo)
    v->addWidget(makeButton(*d.tremolo, d.tremoloName, d.tremoloClick, d.tremoloSpoken));
  return box;
}

QWidget* MainWindow::buildCouplersAndVolumes() {
  auto* row = new QWidget;
  auto* h = new QHBoxLayout(row);
  auto* couplers = new QGroupBox(QStringLiteral("Couplers"));
  auto* c = new QHBoxLayout(couplers);
  const CombinationsView& r = k_.registration().view();
  c->addWidget(
      makeButton(r.swellToGreat, "UNI_II", &Console::UNI_II_Click, "Swell to Great coupler"));
  c->addWidget(
      makeButton(r.greatToSwell, "UNII_I", &Console::UNII_I_Click, "Great to Swell coupler"));
  c->addWidget(makeButton(r.greatToPedal, "UNPI", &Console::UNPI_Click, "Great to Pedal coupler"));
  c->addWidget(
      makeButton(r.swellToPedal, "UNPII", &Console::UNPII_Click, "Swell to Pedal coupler"));
  h->addWidget(couplers);

  auto* volumes = new QGroupBox(QStringLiteral("Volumes"));
  auto* g = new QGridLayout(volumes);
  auto addSlider = [&](int rowIndex, const char* caption, QSlider*& slider, QLabel*& value,
                       void (Console::*scroll)(int)) {
    slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(rowIndex == 0 ? "Slider1" : "Slider2");
    takeKeys(slider);
    slider->setAccessibleName(QStringLiteral("%1 volume").arg(QLatin1String(caption)));
    slider->setMinimumWidth(120);
    value = new QLabel;
    value->setObjectName(rowIndex == 0 ? "EXPGO" : "EXPSW");
    value->setMinimumWidth(28);
    connect(slider, &QSlider::valueChanged, this,
            [this, scroll](int v) { std::invoke(scroll, k_, v); });
    g->addWidget(new QLabel(toQt(caption)), rowIndex, 0);
    g->addWidget(slider, rowIndex, 1);
    g->addWidget(value, rowIndex, 2);
  };
  addSlider(0, "Great", slider1_, expGo_, &Console::Slider1_Scroll);
  addSlider(1, "Swell", slider2_, expSw_, &Console::Slider2_Scroll);
  QPushButton* couple = makeButton(k_.sound().view().sliderCoupling, "Couplingsliders",
                                   &Console::Couplingsliders_Click, "Couple the volume sliders");
  couple->setFixedWidth(28);
  g->addWidget(couple, 0, 3, 2, 1);
  h->addWidget(volumes, 1);
  return row;
}

QWidget* MainWindow::buildMemoryRow() {
  auto* box = new QGroupBox(QStringLiteral("Memories"));
  auto* h = new QHBoxLayout(box);
  const CombinationsView& r = k_.registration().view();
  h->addWidget(makeButton(r.recButton, "Rec_button", &Console::Rec_button_Click, "Record"));
  h->addWidget(makeButton(r.clearButton, "CANCEL", &Console::CANCEL_Click,
                          "Clear the free memories", false));

  auto* leds = new QGridLayout;
  leds->setHorizontalSpacing(6);
  leds->setVerticalSpacing(0);
  for (int i = 1; i <= 12; ++i) {
    auto* led = new QToolButton;
    led->setObjectName(QStringLiteral("c_memory_%1").arg(i));
    led->setAutoRaise(true);
    led->setProperty("role", "led");
    takeKeys(led);
    led->setIconSize(QSize(20, 20));
    connect(led, &QToolButton::clicked, this, [this, i] { k_.c_memory_Click(i); });
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("Label1_%1").arg(i));
    label->setAlignment(Qt::AlignCenter);
    leds_[i] = led;
    ledLabels_[i] = label;
    leds->addWidget(led, 0, i - 1, Qt::AlignCenter);
    leds->addWidget(label, 1, i - 1, Qt::AlignCenter);
  }
  h->addLayout(leds);
  QPushButton* mode = makeButton(r.labelModeButton, "LabelMode", &Console::Labelmode_Click,
                                 "Memory labels: numbers or notes", false);
  mode->setFixedWidth(28);
  h->addWidget(mode);

  // The fixed memories: a bar of twelve labels that lights up to the one
  // recalled, a crescendo display.
  auto* bar = new QHBoxLayout;
  bar->setSpacing(1);
  for (int i = 1; i <= 12; ++i) {
    auto* b = new QPushButton;
    b->setObjectName(QStringLiteral("Graduatore_%1").arg(i));
    b->setProperty("role", "bar");
    takeKeys(b);
    b->setFixedSize(16, 28);
    connect(b, &QPushButton::clicked, this, [this, i] { k_.Graduatore_Click(i); });
    fixed_[i] = b;
    bar->addWidget(b);
  }
  h->addSpacing(12);
  h->addLayout(bar);
  h->addSpacing(12);
  h->addWidget(sequencerButton("Sequencer_Previous", "\u25C0", &Console::Sequencer_Previous,
                               "Previous memory",
                               "Recall the previous memory: free 1..12, then fixed 1..12. Keys: "
                               "Page Up; MIDI: the sostenuto pedal (controller 66)"));
  h->addWidget(sequencerButton("Sequencer_Next", "\u25B6", &Console::Sequencer_Next, "Next memory",
                               "Recall the next memory: free 1..12, then fixed 1..12. Keys: "
                               "Page Down; MIDI: the soft pedal (controller 67)"));
  h->addStretch();
  h->addWidget(makeButton(k_.panel.resetButton(), "RESET", &Console::RESET_Click, nullptr, false));
  h->addWidget(makeButton(k_.panel.panicButton(), "Panic", &Console::Panic_Click,
                          "Panic: all notes off", false));
  return box;
}

// The memory sequencer's arrows, beside the memories.
QPushButton* MainWindow::sequencerButton(const char* objectName, const char* arrow,
                                         void (Console::*step)(), const char* spoken,
                                         const char* tooltip) {
  auto* b = new QPushButton(QString::fromUtf8(arrow));
  b->setObjectName(objectName);
  b->setAccessibleName(QString::fromUtf8(spoken));
  b->setToolTip(QString::fromUtf8(tooltip));
  b->setFixedWidth(28);
  takeKeys(b);
  connect(b, &QPushButton::clicked, this, [this, step] { std::invoke(step, k_); });
  return b;
}

QWidget* MainWindow::buildPanel() {
  auto* central = new QWidget;
  auto* v = new QVBoxLayout(central);
  auto* divisions = new QHBoxLayout;
  // Four, three and two columns of ten stops.
  const CombinationsView& r = k_.registration().view();
  const SoundView& sound = k_.sound().view();
  const Division table[] = {
      {0, kGreatDivision.name, &r.greatDivision, "GREAT", &Console::GREAT_Click,
       kGreatDivision.firstStop, kGreatDivision.lastStop, &sound.greatTremolo, "Tir_TREMOLOGO",
       &Console::Tir_TREMOLOGO_Click, "Great tremolo"},
      {1, kSwellDivision.name, &r.swellDivision, "SWELL", &Console::SWELL_Click,
       kSwellDivision.firstStop, kSwellDivision.lastStop, &sound.swellTremolo, "TIR_TREMOLOSW",
       &Console::TIR_TREMOLOSW_Click, "Swell tremolo"},
      {2, kPedalDivision.name, &r.pedalDivision, "PEDALE", &Console::PEDALE_Click,
       kPedalDivision.firstStop, kPedalDivision.lastStop, nullptr, "", nullptr, nullptr},
  };
  // Each division is as wide as its columns of stops; room to spare is shared.
  for (const Division& d : table) divisions->addWidget(buildDivision(d));
  v->addLayout(divisions, 1);
  v->addWidget(buildCouplersAndVolumes());
  v->addWidget(buildMemoryRow());
  auto* status = new QHBoxLayout;
  labelFileDat_ = new QLabel;
  labelFileDat_->setObjectName("Label_fileDAT");
  labelFileMemory_ = new QLabel;
  labelFileMemory_->setObjectName("Label_filememory");
  status->addWidget(labelFileDat_, 1);
  status->addWidget(labelFileMemory_, 1);
  labelMidiStatus_ = new QLabel;
  labelMidiStatus_->setObjectName("MidiStatus");
  status->addWidget(labelMidiStatus_, 1);
  labelConnectionStatus_ = new QLabel;
  labelConnectionStatus_->setObjectName("ConnectionStatus");
  labelConnectionStatus_->setWordWrap(true);
  status->addWidget(labelConnectionStatus_, 2);
  v->addLayout(status);
  return central;
}

}  // namespace kalvant::ui

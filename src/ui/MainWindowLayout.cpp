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
                                    void (Console::*handler)()) {
  auto* b = new QPushButton;
  b->setObjectName(objectName);
  b->setFocusPolicy(Qt::NoFocus);  // keys belong to the console (hotkeys)
  connect(b, &QPushButton::clicked, this, [this, handler] { (k_.*handler)(); });
  buttons_.push_back({&view, view, b});
  return b;
}

QWidget* MainWindow::buildDivision(const Division& d) {
  auto* box = new QGroupBox(toQt(d.title));
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(6, 6, 6, 6);  // nine columns of stops fit a 1280-pixel screen
  QPushButton* divisionButton = makeButton(*d.button, d.name, d.click);
  divisionButton->setProperty("role", "division");
  v->addWidget(divisionButton);

  // Stops in columns of ten, as the drawknobs of a jamb.
  auto* grid = new QGridLayout;
  grid->setSpacing(3);
  for (int i = d.firstStop; i <= d.lastStop; ++i) {
    auto* b = new QPushButton;
    b->setObjectName(QStringLiteral("Tiranti_%1").arg(i));
    b->setProperty("role", "stop");
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, [this, i] { k_.Tiranti_Click(i); });
    stops_[i] = b;
    grid->addWidget(b, (i - d.firstStop) % 10, (i - d.firstStop) / 10);
  }
  v->addLayout(grid);
  v->addStretch();
  if (d.tremolo) v->addWidget(makeButton(*d.tremolo, d.tremoloName, d.tremoloClick));
  return box;
}

QWidget* MainWindow::buildCouplersAndVolumes() {
  auto* row = new QWidget;
  auto* h = new QHBoxLayout(row);
  auto* couplers = new QGroupBox(QStringLiteral("Couplers"));
  auto* c = new QHBoxLayout(couplers);
  const CombinationsView& r = k_.registration().view();
  c->addWidget(makeButton(r.swellToGreat, "UNI_II", &Console::UNI_II_Click));
  c->addWidget(makeButton(r.greatToSwell, "UNII_I", &Console::UNII_I_Click));
  c->addWidget(makeButton(r.greatToPedal, "UNPI", &Console::UNPI_Click));
  c->addWidget(makeButton(r.swellToPedal, "UNPII", &Console::UNPII_Click));
  h->addWidget(couplers);

  auto* volumes = new QGroupBox(QStringLiteral("Volumes"));
  auto* g = new QGridLayout(volumes);
  auto addSlider = [&](int rowIndex, const char* caption, QSlider*& slider, QLabel*& value,
                       void (Console::*scroll)(int)) {
    slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(rowIndex == 0 ? "Slider1" : "Slider2");
    slider->setFocusPolicy(Qt::NoFocus);
    slider->setMinimumWidth(160);
    value = new QLabel;
    value->setObjectName(rowIndex == 0 ? "EXPGO" : "EXPSW");
    value->setMinimumWidth(28);
    connect(slider, &QSlider::valueChanged, this, [this, scroll](int v) { (k_.*scroll)(v); });
    g->addWidget(new QLabel(toQt(caption)), rowIndex, 0);
    g->addWidget(slider, rowIndex, 1);
    g->addWidget(value, rowIndex, 2);
  };
  addSlider(0, "Great", slider1_, expGo_, &Console::Slider1_Scroll);
  addSlider(1, "Swell", slider2_, expSw_, &Console::Slider2_Scroll);
  QPushButton* couple = makeButton(k_.sound().view().sliderCoupling, "Couplingsliders",
                                   &Console::Couplingsliders_Click);
  couple->setFixedWidth(28);
  g->addWidget(couple, 0, 3, 2, 1);
  h->addWidget(volumes, 1);
  return row;
}

QWidget* MainWindow::buildMemoryRow() {
  auto* box = new QGroupBox(QStringLiteral("Memories"));
  auto* h = new QHBoxLayout(box);
  const CombinationsView& r = k_.registration().view();
  h->addWidget(makeButton(r.recButton, "Rec_button", &Console::Rec_button_Click));
  h->addWidget(makeButton(r.clearButton, "CANCEL", &Console::CANCEL_Click));

  auto* leds = new QGridLayout;
  leds->setHorizontalSpacing(6);
  leds->setVerticalSpacing(0);
  for (int i = 1; i <= 12; ++i) {
    auto* led = new QToolButton;
    led->setObjectName(QStringLiteral("c_memory_%1").arg(i));
    led->setAutoRaise(true);
    led->setFocusPolicy(Qt::NoFocus);
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
  QPushButton* mode = makeButton(r.labelModeButton, "LabelMode", &Console::Labelmode_Click);
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
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(16, 28);
    connect(b, &QPushButton::clicked, this, [this, i] { k_.Graduatore_Click(i); });
    fixed_[i] = b;
    bar->addWidget(b);
  }
  h->addSpacing(12);
  h->addLayout(bar);
  h->addStretch();
  h->addWidget(makeButton(k_.panel.resetButton(), "RESET", &Console::RESET_Click));
  h->addWidget(makeButton(k_.panel.panicButton(), "Panic", &Console::Panic_Click));
  return box;
}

QWidget* MainWindow::buildPanel() {
  auto* central = new QWidget;
  auto* v = new QVBoxLayout(central);
  auto* divisions = new QHBoxLayout;
  // Four, three and two columns of ten stops.
  const CombinationsView& r = k_.registration().view();
  const SoundView& sound = k_.sound().view();
  const Division table[] = {
      {kGreatDivision.name, &r.greatDivision, "GREAT", &Console::GREAT_Click,
       kGreatDivision.firstStop, kGreatDivision.lastStop, &sound.greatTremolo, "Tir_TREMOLOGO",
       &Console::Tir_TREMOLOGO_Click},
      {kSwellDivision.name, &r.swellDivision, "SWELL", &Console::SWELL_Click,
       kSwellDivision.firstStop, kSwellDivision.lastStop, &sound.swellTremolo, "TIR_TREMOLOSW",
       &Console::TIR_TREMOLOSW_Click},
      {kPedalDivision.name, &r.pedalDivision, "PEDALE", &Console::PEDALE_Click,
       kPedalDivision.firstStop, kPedalDivision.lastStop, nullptr, "", nullptr},
  };
  for (const Division& d : table)
    divisions->addWidget(buildDivision(d), (d.lastStop - d.firstStop + 1) / 10);
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

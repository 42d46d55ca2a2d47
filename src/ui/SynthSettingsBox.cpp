#include "ui/SynthSettingsBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "console/Console.h"
#include "ui/QtText.h"

namespace kalvant::ui {

SynthSettingsBox::SynthSettingsBox(Console& console, QWidget* parent)
    : QGroupBox(QStringLiteral("BUILT-IN SYNTHESIZER"), parent), k_(console) {
  setObjectName("SynthSettings");
  setToolTip(QStringLiteral(
      "For the output \"kalvant built-in synthesizer\": the choices take effect when "
      "it is opened with OK"));
  driver_ = new QComboBox;
  driver_->setObjectName("AudioDriver");
  driver_->setToolTip(QStringLiteral(
      "auto: with JACK MIDI, kalvant's own JACK ports out_L and out_R, which play each note in "
      "the period it was played; otherwise PulseAudio, then ALSA, then a running JACK server.\n"
      "jack: the same with JACK MIDI; otherwise a separate JACK client, kalvant-synth."));
  connect(driver_, &QComboBox::activated, this, [this](int i) { k_.SynthDriver_Click(i); });
  soundfont_ = new QLineEdit;
  soundfont_->setObjectName("Soundfont");
  soundfont_->setReadOnly(true);
  soundfont_->setMinimumWidth(soundfont_->fontMetrics().averageCharWidth() * 28);
  auto* browse = new QPushButton(QStringLiteral("&Browse\u2026"));
  connect(browse, &QPushButton::clicked, this, [this] { k_.SynthSoundfont_Browse(); });
  auto* standard = new QPushButton(QStringLiteral("&Default"));
  connect(standard, &QPushButton::clicked, this, [this] { k_.SynthSoundfont_Default(); });
  auto* g = new QGridLayout(this);
  auto* driverLabel = new QLabel(QStringLiteral("&Audio output"));
  driverLabel->setBuddy(driver_);
  auto* soundfontLabel = new QLabel(QStringLiteral("Sound&font"));
  soundfontLabel->setBuddy(soundfont_);
  g->addWidget(driverLabel, 0, 0);
  g->addWidget(driver_, 0, 1, 1, 3);
  g->addWidget(soundfontLabel, 1, 0);
  // The whole path is in the tooltip: a soundfont usually lives deep in a folder tree.
  g->addWidget(soundfont_, 1, 1);
  g->addWidget(browse, 1, 2);
  g->addWidget(standard, 1, 3);
  g->setColumnStretch(1, 1);
}

void SynthSettingsBox::render(const ports::SynthView& v) {
  setVisible(v.available);
  const QSignalBlocker quiet(driver_);
  if (driver_->count() != static_cast<int>(v.audioDrivers.size())) {
    driver_->clear();
    for (const std::string& d : v.audioDrivers) driver_->addItem(toQt(d));
  }
  driver_->setCurrentIndex(v.driverSelected);
  soundfont_->setText(toQt(v.soundfontShown));
  soundfont_->setToolTip(soundfont_->text());
}

}  // namespace kalvant::ui

#include "ui/SynthSettingsBox.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

#include "synth/SynthSettings.h"

namespace kalvant::ui {

SynthSettingsBox::SynthSettingsBox(std::string programDir, QWidget* parent)
    : QGroupBox(QStringLiteral("BUILT-IN SYNTHESIZER"), parent),
      programDir_(std::move(programDir)) {
  setObjectName("SynthSettings");
  setToolTip(QStringLiteral(
      "For the output \"kalvant built-in synthesizer\": the choices take effect when "
      "it is opened with OK"));
  driver_ = new QComboBox;
  driver_->setObjectName("AudioDriver");
  for (const std::string& d : synth::audioDriverChoices())
    driver_->addItem(QString::fromStdString(d));
  connect(driver_, &QComboBox::activated, this, [this] { save(); });
  soundfont_ = new QLineEdit;
  soundfont_->setObjectName("Soundfont");
  soundfont_->setReadOnly(true);
  soundfont_->setMinimumWidth(soundfont_->fontMetrics().averageCharWidth() * 48);
  auto* browse = new QPushButton(QStringLiteral("Browse..."));
  connect(browse, &QPushButton::clicked, this, &SynthSettingsBox::browse);
  auto* standard = new QPushButton(QStringLiteral("Default"));
  connect(standard, &QPushButton::clicked, this, [this] {
    soundfontPath_.clear();
    save();
  });
  auto* g = new QGridLayout(this);
  g->addWidget(new QLabel(QStringLiteral("Audio output")), 0, 0);
  g->addWidget(driver_, 0, 1, 1, 3);
  g->addWidget(new QLabel(QStringLiteral("Soundfont")), 1, 0);
  // A whole row for the path: a soundfont usually lives deep in a folder tree.
  g->addWidget(soundfont_, 1, 1, 1, 3);
  g->addWidget(browse, 2, 2);
  g->addWidget(standard, 2, 3);
  g->setColumnStretch(1, 1);
  reload();
}

void SynthSettingsBox::reload() {
  const synth::SynthSettings s = synth::loadSynthSettings(programDir_);
  const QSignalBlocker quiet(driver_);
  driver_->setCurrentText(QString::fromStdString(s.audioDriver));
  soundfontPath_ = s.soundfont;
  soundfont_->setText(QString::fromStdString(synth::soundfontPath(s)));
  soundfont_->setToolTip(soundfont_->text());
}

void SynthSettingsBox::browse() {
  const QString chosen = QFileDialog::getOpenFileName(
      this, QStringLiteral("Soundfont"), soundfont_->text(), QStringLiteral("Soundfonts (*.sf2)"));
  if (chosen.isEmpty()) return;
  soundfontPath_ = chosen.toStdString();
  save();
}

void SynthSettingsBox::save() {
  synth::SynthSettings s;
  s.audioDriver = driver_->currentText().toStdString();
  s.soundfont = soundfontPath_;
  std::string error;
  if (!synth::saveSynthSettings(programDir_, s, error)) {
    QMessageBox::warning(this, QStringLiteral("kalvant"), QString::fromStdString(error));
  }
  reload();
}

}  // namespace kalvant::ui

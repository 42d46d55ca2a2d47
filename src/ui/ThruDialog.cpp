#include "ui/ThruDialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/Lamp.h"
#include "ui/OkCancelRow.h"
#include "ui/QtText.h"
#include "ui/ShowAsTheConsoleSays.h"

namespace kalvant::ui {

namespace {

constexpr const char* kOptions[] = {"No Rechanneling", "Normal Rechanneling", "Fixed Rechanneling"};
constexpr const char* kDescriptions[] = {
    "For keyboards whose MIDI OUT channel can be set: set each keyboard to the channel shown "
    "beside its division.",
    "For a single keyboard: choose GREAT, SWELL or PEDAL with the console's division buttons.",
    "For keyboards with a fixed MIDI OUT channel: click a field beside, then play a key on "
    "that keyboard; kalvant learns its channel."};
constexpr const char* kDivisions[] = {"GREAT", "SWELL", "PEDAL"};

QLabel* description(const char* text, const char* name) {
  auto* l = new QLabel(toQt(text));
  l->setObjectName(name);
  l->setWordWrap(true);
  l->setMinimumWidth(200);
  l->setAutoFillBackground(true);
  return l;
}

}  // namespace

ThruDialog::ThruDialog(Console& console, QWidget* parent) : QDialog(parent), k_(console) {
  setObjectName("Thru_form");
  setWindowTitle(QStringLiteral("MIDI Thru Mode"));
  setWindowIcon(QIcon(toQt(k_.resourceFile("wrench.ico"))));
  setModal(false);
  setStyleSheet(
      QStringLiteral("QLabel[lamp=\"lit\"] { background-color: #fff3c4; }"
                     "QLabel[lamp=\"unlit\"] { background-color: #d6d3cc; }"));
  auto* grid = new QGridLayout;
  label3_ = description(kDescriptions[0], "Label3");
  label2_3_ = description(kDescriptions[1], "Label2_3");
  label1_ = description(kDescriptions[2], "Label1");
  QLabel* labels[] = {label3_, label2_3_, label1_};
  for (int i = 0; i < 3; ++i) {
    options_[i] = new QRadioButton(toQt(kOptions[i]));
    options_[i]->setObjectName(QStringLiteral("Thru_choose_%1").arg(i));
    options_[i]->setAccessibleDescription(toQt(kDescriptions[i]));
    connect(options_[i], &QRadioButton::clicked, this, [this, i] { k_.Thru_choose_Click(i); });
    grid->addWidget(options_[i], i, 0);
    grid->addWidget(labels[i], i, 1);
  }
  // Mode 0: the channels each division is played on.
  auto* plain = new QGridLayout;
  for (int i = 0; i < 3; ++i) {
    plain->addWidget(new QLabel(toQt(kDivisions[i])), i, 0);
    plain->addWidget(new QLabel(QStringLiteral("Channel %1").arg(i + 1)), i, 1);
  }
  grid->addLayout(plain, 0, 2);
  // Mode 2: the learned channels; click a field, then play a key.
  auto* fixed = new QGridLayout;
  for (int i = 0; i < 3; ++i) {
    fixed->addWidget(new QLabel(toQt(kDivisions[i])), i, 0);
    fields_[i] = new QPushButton;
    fields_[i]->setObjectName(QStringLiteral("Custom_Thru_label_%1").arg(i));
    fields_[i]->setMinimumWidth(110);
    fields_[i]->setAccessibleName(QStringLiteral("%1 learned channel").arg(kDivisions[i]));
    connect(fields_[i], &QPushButton::clicked, this, [this, i] { k_.Custom_Thru_label_Click(i); });
    fixed->addWidget(fields_[i], i, 1);
  }
  grid->addLayout(fixed, 2, 2);

  auto* v = new QVBoxLayout(this);
  v->addLayout(grid);
  v->addWidget(okCancelRow(
      this, "Command1", "Command2", [this] { k_.Thru_OK_Click(); },
      [this] { k_.Thru_CANCEL_Click(); }));
}

void ThruDialog::render() {
  const routing::ThruView& v = k_.router().thruView();
  for (int i = 0; i < 3; ++i) {
    options_[i]->setChecked(v.optionSelected == i);
    fields_[i]->setText(toQt(v.learnedChannelFields[i].caption));
    setLamp(fields_[i], v.learnedChannelFields[i].lamp);
  }
  setLamp(label3_, v.noneLamp);
  setLamp(label2_3_, v.normalLamp);
  setLamp(label1_, v.fixedLamp);
  showAsTheConsoleSays(this, v.visible);
}

void ThruDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  k_.Thru_Close();
}

void ThruDialog::reject() {
  k_.Thru_CANCEL_Click();
}

}  // namespace kalvant::ui

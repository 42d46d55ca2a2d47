#include "ui/TremoloDialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/OkCancelRow.h"
#include "ui/ShowAsTheConsoleSays.h"

namespace kalvant::ui {

TremoloDialog::TremoloDialog(Console& console, QWidget* parent) : QDialog(parent), k_(console) {
  setObjectName("Tremolo");
  setWindowTitle(QStringLiteral("Tremolo Rate Setting"));
  setWindowIcon(QIcon(QString::fromStdString(k_.programFile("wrench.ico"))));
  setModal(false);
  slider_ = new QSlider(Qt::Horizontal);
  slider_->setObjectName("Slider1");
  slider_->setRange(100, 127);
  slider_->setMinimumWidth(240);
  valore_ = new QLabel(QStringLiteral("000"));
  valore_->setObjectName("Valore");
  valore_->setMinimumWidth(30);
  connect(slider_, &QSlider::valueChanged, this, [this](int v) { k_.Tremolo_Slider1_Scroll(v); });

  auto* row = new QHBoxLayout;
  row->addWidget(slider_);
  row->addWidget(valore_);
  auto* v = new QVBoxLayout(this);
  v->addLayout(row);
  v->addLayout(okCancelRow(
      this, "Command2", "Command1", [this] { k_.Tremolo_OK_Click(); },
      [this] { k_.Tremolo_CANCEL_Click(); }));
}

void TremoloDialog::render() {
  const TremoloView& v = k_.panel.Tremolo;
  {
    const QSignalBlocker quiet(slider_);
    slider_->setValue(v.Slider1);
  }
  valore_->setText(QString::fromStdString(v.Valore));
  showAsTheConsoleSays(this, v.visible);
}

void TremoloDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  if (k_.panel.Tremolo.visible) k_.Tremolo_OK_Click();
}

void TremoloDialog::reject() {
  k_.Tremolo_CANCEL_Click();
}

}  // namespace kalvant::ui

#include "ui/TremoloDialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/OkCancelRow.h"
#include "ui/QtText.h"
#include "ui/ShowAsTheConsoleSays.h"

namespace kalvant::ui {

TremoloDialog::TremoloDialog(Console& console, QWidget* parent) : QDialog(parent), k_(console) {
  setObjectName("Tremolo");
  setWindowTitle(QStringLiteral("Tremolo Rate"));
  setWindowIcon(QIcon(toQt(k_.resourceFile("wrench.ico"))));
  setModal(false);
  rateSlider_ = new QSlider(Qt::Horizontal);
  rateSlider_->setObjectName("Slider1");
  rateSlider_->setAccessibleName(QStringLiteral("Tremolo rate"));
  rateSlider_->setRange(100, 127);
  rateSlider_->setMinimumWidth(240);
  rateText_ = new QLabel(QStringLiteral("000"));
  rateText_->setObjectName("Valore");
  rateText_->setMinimumWidth(30);
  connect(rateSlider_, &QSlider::valueChanged, this,
          [this](int v) { k_.Tremolo_Slider1_Scroll(v); });

  auto* caption = new QLabel(QStringLiteral("&Rate"));
  caption->setBuddy(rateSlider_);
  auto* row = new QHBoxLayout;
  row->addWidget(caption);
  row->addWidget(rateSlider_);
  row->addWidget(rateText_);
  auto* v = new QVBoxLayout(this);
  v->addLayout(row);
  v->addWidget(okCancelRow(
      this, "Command2", "Command1", [this] { k_.Tremolo_OK_Click(); },
      [this] { k_.Tremolo_CANCEL_Click(); }));
}

void TremoloDialog::render() {
  const TremoloRateView& v = k_.sound().view().tremoloRate;
  {
    const QSignalBlocker quiet(rateSlider_);
    rateSlider_->setValue(v.tremoloRateSlider);
  }
  rateText_->setText(toQt(v.tremoloRateText));
  showAsTheConsoleSays(this, v.visible);
}

void TremoloDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  if (k_.sound().view().tremoloRate.visible) k_.Tremolo_OK_Click();
}

void TremoloDialog::reject() {
  k_.Tremolo_CANCEL_Click();
}

}  // namespace kalvant::ui

#include "ui/AboutBox.h"
#include "ui/QtText.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace kalvant::ui {

AboutBox::AboutBox(Console& console, QWidget* parent) : QDialog(parent), k_(console) {
  setObjectName("aboutBox");
  setModal(false);
  image1_ = new QLabel;
  image1_->setObjectName("Image1");
  image1_->setAlignment(Qt::AlignCenter);
  version_ = new QLabel;
  version_->setAlignment(Qt::AlignCenter);
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setObjectName("Command1");
  connect(ok, &QPushButton::clicked, this, &QDialog::close);
  auto* v = new QVBoxLayout(this);
  v->addWidget(image1_);
  v->addWidget(version_);
  v->addWidget(ok, 0, Qt::AlignCenter);
}

void AboutBox::render() {
  const AboutView& v = k_.aboutHelp.aboutView();
  if (v.shows == showsDone_) return;
  showsDone_ = v.shows;
  setWindowTitle(toQt(v.caption));
  setWindowIcon(QIcon(toQt(v.iconPath)));
  const QPixmap picture(toQt(v.picturePath));
  image1_->setPixmap(picture);
  image1_->setVisible(!picture.isNull());
  version_->setText(toQt(v.version));
  if (!isVisible()) {
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect r = screen->geometry();
      move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
    show();
  }
  raise();
  activateWindow();
}

}  // namespace kalvant::ui

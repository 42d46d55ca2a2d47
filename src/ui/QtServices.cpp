#include "ui/QtServices.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <memory>

#include "ui/QtText.h"

namespace kalvant::ui {

namespace {
QMessageBox::Icon qtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

void QtUserDialogs::message(const std::string& text, MessageIcon icon) {
  QMessageBox box(qtIcon(icon), QStringLiteral("kalvant"), toQt(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtUserDialogs::askYesNo(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), toQt(text),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

// File dialogs: one filter, "(*.dat)", showing only files with the
// extension; the starting folder is the current one.
namespace {
QFileDialog* fileDialog(QWidget* parent, const std::string& title, const std::string& folder,
                        const std::string& extension) {
  const QString ext = toQt(extension);
  auto* d = new QFileDialog(parent, toQt(title), toQt(folder), "(*" + ext + ")");
  return d;
}

std::optional<std::string> chosenFile(QFileDialog& d) {
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  return fromQt(d.selectedFiles().first());
}
}  // namespace

std::optional<std::string> QtUserDialogs::pickFileToOpen(const std::string& title,
                                                         const std::string& extension) {
  std::unique_ptr<QFileDialog> d(fileDialog(parent_, title, startFolder_, extension));
  d->setAcceptMode(QFileDialog::AcceptOpen);
  d->setFileMode(QFileDialog::ExistingFile);
  return chosenFile(*d);
}

std::optional<std::string> QtUserDialogs::pickFileToSave(const std::string& title,
                                                         const std::string& extension) {
  std::unique_ptr<QFileDialog> d(fileDialog(parent_, title, startFolder_, extension));
  d->setAcceptMode(QFileDialog::AcceptSave);
  d->setFileMode(QFileDialog::AnyFile);
  d->setDefaultSuffix(toQt(extension.substr(1)));  // asks before overwriting
  return chosenFile(*d);
}

void QtUserDialogs::messageOkCancel(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("kalvant"), toQt(text),
                  QMessageBox::Ok | QMessageBox::Cancel, parent_);
  box.exec();
}

void QtUserDialogs::notice(const std::string& text) {
  if (!notice_) {
    notice_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("kalvant"), QString(),
                              QMessageBox::Ok, parent_);
    notice_->setModal(false);
  }
  notice_->setText(toQt(text));
  notice_->show();
}

QtEventLoop::QtEventLoop(std::function<void()> onTimer) {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, std::move(onTimer));
}

void QtEventLoop::startTimer(int msec) {
  timer_.start(msec);
}

void QtEventLoop::stopTimer() {
  timer_.stop();
}

void QtEventLoop::everySecond(std::function<void()> tick) {
  QObject::connect(&secondTimer_, &QTimer::timeout, std::move(tick));
  secondTimer_.start(1000);
}

void QtEventLoop::whenIdle(std::function<void()> fn) {
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                   std::move(fn));
}

midi::Post qtPost() {
  return [](std::function<void()> fn) {
    QMetaObject::invokeMethod(qApp, std::move(fn), Qt::QueuedConnection);
  };
}

}  // namespace kalvant::ui

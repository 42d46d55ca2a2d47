#include "ui/QtServices.h"

#include <QApplication>
#include <QMessageBox>

namespace kalvant::ui {

namespace {
QMessageBox::Icon toQt(MessageIcon icon) {
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
  QMessageBox box(toQt(icon), QStringLiteral("kalvant"), QString::fromLatin1(text), QMessageBox::Ok,
                  parent_);
  box.exec();
}

bool QtUserDialogs::askYesNo(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), QString::fromLatin1(text),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
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

void QtEventLoop::waitForEvents() {
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtEventLoop::processPendingEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

midi::Post qtPost() {
  return [](std::function<void()> fn) {
    QMetaObject::invokeMethod(qApp, std::move(fn), Qt::QueuedConnection);
  };
}

}  // namespace kalvant::ui

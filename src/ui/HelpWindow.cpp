#include "ui/HelpWindow.h"
#include "ui/QtText.h"

#include <QAction>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

namespace kalvant::ui {

HelpWindow::HelpWindow(Console& console, QWidget* parent)
    : QMainWindow(parent, Qt::Window), k_(console) {
  setObjectName("Help");
  setWindowTitle(QStringLiteral("kalvant Help"));
  browser_ = new QTextBrowser;
  browser_->setOpenExternalLinks(true);
  setCentralWidget(browser_);
  QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
  bar->setMovable(false);
  QAction* back = bar->addAction(QStringLiteral("Back"));
  QAction* forward = bar->addAction(QStringLiteral("Forward"));
  QAction* contents = bar->addAction(QStringLiteral("Contents"));
  connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
  connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
  connect(contents, &QAction::triggered, browser_, &QTextBrowser::home);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  // Escape closes it, as it closes the console's dialogs.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
  resize(960, 680);
}

// Each Help choice opens the manual at its contents and brings it forward.
void HelpWindow::render() {
  const HelpView& v = k_.aboutHelp.helpView();
  if (v.shows == showsDone_) return;
  showsDone_ = v.shows;
  browser_->setSource(QUrl::fromLocalFile(toQt(v.manualPath)));
  show();
  raise();
  activateWindow();
}

}  // namespace kalvant::ui

#include "ui/MonitorWindow.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

#include "common/FileIo.h"
#include "ui/QtText.h"

namespace kalvant::ui {

namespace {

// How often the window takes what the tap holds, and how much at most at a
// time: a flood is shown in steps and never holds the GUI thread long.
constexpr int kDrainMillis = 50;
constexpr std::size_t kDrainLimit = 4000;

QCheckBox* portBox(const char* text, const char* name) {
  auto* box = new QCheckBox(toQt(text));
  box->setObjectName(name);
  box->setChecked(true);
  return box;
}

}  // namespace

MonitorWindow::MonitorWindow(Console& console, midi::MonitorTap& tap, QWidget* parent)
    : QDialog(parent), k_(console), tap_(tap) {
  setObjectName("Monitor_form");
  setWindowTitle(QStringLiteral("MIDI Monitor"));
  setModal(false);
  view_ = new QPlainTextEdit;
  view_->setObjectName("MonitorText");
  view_->setReadOnly(true);
  view_->setLineWrapMode(QPlainTextEdit::NoWrap);  // one message a line, laid out once
  view_->setMaximumBlockCount(static_cast<int>(monitor::MonitorLog::kMaxLines));
  view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  view_->setMinimumSize(420, 240);
  view_->setAccessibleName(QStringLiteral("MIDI messages"));
  in1_ = portBox("In &1", "MonitorIn1");
  in2_ = portBox("In &2", "MonitorIn2");
  out_ = portBox("&Out", "MonitorOut");
  pause_ = new QPushButton(QStringLiteral("&Pause"));
  pause_->setObjectName("MonitorPause");
  pause_->setCheckable(true);
  auto* clear = new QPushButton(QStringLiteral("&Clear"));
  clear->setObjectName("MonitorClear");
  auto* save = new QPushButton(QStringLiteral("&Save\u2026"));
  save->setObjectName("MonitorSave");
  auto* close = new QPushButton(QStringLiteral("Close"));
  close->setObjectName("MonitorClose");
  dropped_ = new QLabel;
  dropped_->setObjectName("MonitorDropped");
  for (QPushButton* b : {pause_, clear, save, close}) b->setAutoDefault(false);

  auto* row = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{in1_, in2_, out_}) row->addWidget(w);
  row->addStretch();
  for (QWidget* w : std::initializer_list<QWidget*>{pause_, clear, save, close}) row->addWidget(w);
  auto* column = new QVBoxLayout(this);
  column->addLayout(row);
  column->addWidget(view_, 1);
  column->addWidget(dropped_);

  for (QCheckBox* box : {in1_, in2_, out_})
    connect(box, &QCheckBox::toggled, this, &MonitorWindow::refilter);
  connect(clear, &QPushButton::clicked, this, [this] {
    log_.clear();
    view_->clear();
  });
  connect(save, &QPushButton::clicked, this, &MonitorWindow::save);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  timer_ = new QTimer(this);
  timer_->setInterval(kDrainMillis);
  connect(timer_, &QTimer::timeout, this, &MonitorWindow::drain);
}

MonitorWindow::~MonitorWindow() {
  tap_.setWatching(false);
}

void MonitorWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  names_.load(k_.stopsTable.table());
  if (!tap_.watching()) {
    if (origin_ == 0) origin_ = midi::MonitorTap::now();
    droppedAtStart_ = tap_.dropped();
    tap_.setWatching(true);
  }
  timer_->start();
  showDropped();
}

void MonitorWindow::hideEvent(QHideEvent* event) {
  timer_->stop();
  tap_.setWatching(false);
  QDialog::hideEvent(event);
}

void MonitorWindow::drain() {
  QStringList shown;
  const bool paused = pause_->isChecked();
  tap_.drain(
      [&](const midi::TapRecord& r) {
        if (paused) return;
        std::string line = monitor::formatLine(r, origin_, names_);
        if (filter_.shows(r.port)) shown << toQt(line);
        log_.add(r.port, std::move(line));
      },
      kDrainLimit);
  if (!shown.isEmpty()) view_->appendPlainText(shown.join(QLatin1Char('\n')));
  showDropped();
}

void MonitorWindow::showDropped() {
  const std::uint64_t n = tap_.dropped() - droppedAtStart_;
  dropped_->setText(n ? QStringLiteral("%1 messages not shown").arg(n) : QString());
}

void MonitorWindow::refilter() {
  filter_ = {in1_->isChecked(), in2_->isChecked(), out_->isChecked()};
  std::string text = log_.text(filter_);
  if (!text.empty()) text.pop_back();
  view_->setPlainText(toQt(text));
  view_->moveCursor(QTextCursor::End);
}

void MonitorWindow::save() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save MIDI Monitor"),
                                                    QString(), QStringLiteral("Text (*.txt)"));
  if (path.isEmpty()) return;
  std::string error;
  if (!replaceFileAtomically(fromQt(path), log_.text(filter_), error)) {
    QMessageBox::warning(this, QStringLiteral("MIDI Monitor"), toQt(error));
  }
}

}  // namespace kalvant::ui

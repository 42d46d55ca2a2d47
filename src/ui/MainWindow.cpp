#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmapCache>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "ui/Lamp.h"
#include "ui/SetupDialog.h"
#include "ui/TremoloDialog.h"
// The stops table editor, the about box and the help window.
#include "ui/AboutBox.h"
#include "ui/EditorWindow.h"
#include "ui/HelpWindow.h"
#include "ui/MonitorWindow.h"
#include "ui/QtText.h"
#include "ui/ThruDialog.h"

namespace kalvant::ui {

namespace {

QString text(const std::string& utf8) {
  return toQt(utf8);
}

// A button caption shows '&' as itself, not as a mnemonic.
QString buttonText(const std::string& caption) {
  return text(caption).replace("&", "&&");
}

// What a screen reader says of a button: its name, and for one that stays
// on or off, whether it is on ("Principal 8', on"); its tooltip describes it.
void applyButton(QAbstractButton* w, const ButtonView& v, const char* spoken = nullptr,
                 bool saysState = true) {
  w->setText(buttonText(v.caption));
  w->setToolTip(text(v.tooltip));
  w->setEnabled(v.enabled);
  setLamp(w, v.lamp);
  QString name = spoken ? QString::fromUtf8(spoken) : text(v.caption).trimmed();
  if (saysState) name += v.lamp == Lamp::Lit ? QStringLiteral(", on") : QStringLiteral(", off");
  w->setAccessibleName(name);
  w->setAccessibleDescription(v.tooltip.empty() ? name : text(v.tooltip));
}

// Every stop's name must fit its button when the stop is drawn and the name
// is bold; all stops share one width, as the drawknobs of a jamb do, so a
// long name ("Plenum+Trumpet") widens every column rather than being clipped.
constexpr int kStopMinimumWidth = 108;
constexpr int kStopTextMargin = 6;  // padding, border and a pixel of air, each side

int stopWidthFor(const QAbstractButton* b) {
  QFont bold = b->font();
  bold.setBold(true);
  return QFontMetrics(bold).horizontalAdvance(b->text()) + 2 * kStopTextMargin;
}

// The window's place is remembered for each screen it was closed on, by the
// screen's name and size: a laptop on its own and on a projector each keep
// their own.
QString screenKey(const QScreen* s) {
  QString name = s->name();
  name.replace('/', '_').replace('\\', '_');
  return QStringLiteral("geometry/%1 %2x%3")
      .arg(name)
      .arg(s->geometry().width())
      .arg(s->geometry().height());
}

// The width a button asks for when lit, whatever its padding: its width
// now, with its caption measured in bold instead.
int litWidthFor(const QAbstractButton* b) {
  QFont bold = b->font();
  bold.setBold(true);
  const QString caption = b->text().replace(QLatin1String("&&"), QLatin1String("&"));
  return b->sizeHint().width() - b->fontMetrics().horizontalAdvance(caption) +
         QFontMetrics(bold).horizontalAdvance(caption);
}

QPixmap picture(const std::string& path) {
  QPixmap p;
  if (path.empty()) return p;
  const QString key = text(path);
  if (!QPixmapCache::find(key, &p) && p.load(key)) QPixmapCache::insert(key, p);
  return p;
}

}  // namespace

MainWindow::MainWindow(Console& console) : k_(console) {
  setObjectName("Kalvant");
  buildMenus();
  setCentralWidget(buildPanel());
  setup_ = new SetupDialog(k_, this);
  tremolo_ = new TremoloDialog(k_, this);
  // The stops table editor, the about box and the help window.
  editor_ = new EditorWindow(k_, this);
  about_ = new AboutBox(k_, this);
  help_ = new HelpWindow(k_, this);
  thru_ = new ThruDialog(k_, this);
  monitor_ = new MonitorWindow(k_, midi::monitorTap(), this);
  k_.openMonitor = [this] {
    monitor_->show();
    monitor_->raise();
    monitor_->activateWindow();
  };
  k_.panel.onChanged = [this] { scheduleRender(); };
  k_.requestClose = [this] { close(); };
  render();
}

void MainWindow::fitStopWidths() {
  int width = kStopMinimumWidth;
  for (int i = entry::kFirstGreatStop; i <= entry::kLastStop; ++i)
    if (stops_[i]->isEnabled()) width = std::max(width, stopWidthFor(stops_[i]));
  if (width == stopWidth_) return;
  stopWidth_ = width;
  for (int i = entry::kFirstGreatStop; i <= entry::kLastStop; ++i)
    stops_[i]->setFixedWidth(width);  // lit and bold, a stop keeps its width
}

// The defined stops of each division in columns of ten, in order; a slot
// the table leaves undefined takes no room. Runs whenever the stops table
// changes, at start-up and from the editor.
void MainWindow::placeStops() {
  for (std::size_t d = 0; d < kDivisions.size(); ++d) {
    QGridLayout* grid = stopGrids_[d];
    int placed = 0;
    for (int i = kDivisions[d].firstStop; i <= kDivisions[d].lastStop; ++i) {
      QPushButton* b = stops_[i];
      grid->removeWidget(b);
      if (!b->isEnabled()) {
        b->hide();
        continue;
      }
      grid->addWidget(b, placed % 10, placed / 10);
      b->show();
      ++placed;
    }
  }
}

// Start-up names the stops after the window was built: it is laid out and
// placed for them when first shown.
void MainWindow::showEvent(QShowEvent* event) {
  if (!shownOnce_) {
    shownOnce_ = true;
    // After the pending layout requests, so the new stop widths count.
    QTimer::singleShot(0, this, [this] { placeOnScreen(); });
  }
  QMainWindow::showEvent(event);
}

QString MainWindow::placementFile() const {
  return text(k_.programFile("kalvant-window.ini"));
}

// Where it was last closed on this screen, if that still fits; else its own
// size, no larger than the screen, in the middle of it.
void MainWindow::placeOnScreen() {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  const QRect room = s->availableGeometry();
  const QSettings placement(placementFile(), QSettings::IniFormat);
  const QByteArray saved = placement.value(screenKey(s)).toByteArray();
  if (!saved.isEmpty() && restoreGeometry(saved) && room.contains(frameGeometry())) return;
  const QSize frame = frameGeometry().size() - size();
  resize(sizeHint().expandedTo(minimumSizeHint()).boundedTo(room.size() - frame));
  move(room.x() + (room.width() - frameGeometry().width()) / 2,
       room.y() + (room.height() - frameGeometry().height()) / 2);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      button->click();
      return true;
    }
    if (sequencerKey(static_cast<QKeyEvent*>(event))) return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::scheduleRender() {
  if (renderPending_) return;
  renderPending_ = true;
  // Coalesced: a reset changes a hundred lamps; the window repaints once,
  // as soon as the event loop runs.
  QTimer::singleShot(0, this, [this] {
    renderPending_ = false;
    render();
  });
}

void MainWindow::render() {
  const Panel& p = k_.panel;
  const bool all = firstRender_;
  firstRender_ = false;
  // Whether a part changed since it was shown; from now on it counts as
  // shown. Only what changed is copied: a moved pedal re-renders one slider.
  auto changed = [all](const auto& now, auto& shown) {
    if (!all && now == shown) return false;
    shown = now;
    return true;
  };
  if (changed(p.windowCaption(), shownCaption_)) setWindowTitle(text(shownCaption_));
  if (changed(p.windowIconPath(), shownIconPath_)) setWindowIcon(QIcon(text(shownIconPath_)));
  const CombinationsView& r = k_.registration().view();
  CombinationsView& rWas = shownRegistration_;
  bool renamed = all;  // stop names change with the stops table only
  for (int i = entry::kFirstGreatStop; i <= entry::kLastStop; ++i) {
    const ButtonView& now = r.stopButtons[i];
    const ButtonView& was = rWas.stopButtons[i];
    renamed = renamed || now.caption != was.caption || now.enabled != was.enabled;
    if (changed(r.stopButtons[i], rWas.stopButtons[i])) applyButton(stops_[i], r.stopButtons[i]);
  }
  if (renamed) {
    fitStopWidths();
    placeStops();
  }
  for (BoundButton& b : buttons_) {
    const bool renamedButton = all || b.view->caption != b.shown.caption;
    if (changed(*b.view, b.shown)) applyButton(b.widget, b.shown, b.spoken, b.saysState);
    const bool fixedWidth = b.widget->minimumWidth() == b.widget->maximumWidth();
    if (renamedButton && !fixedWidth) b.widget->setMinimumWidth(litWidthFor(b.widget));
  }
  for (int i = 1; i <= 12; ++i) {
    if (changed(r.memoryLeds[i], rWas.memoryLeds[i])) {
      const PictureView& led = r.memoryLeds[i];
      leds_[i]->setIcon(QIcon(picture(led.picturePath)));
      leds_[i]->setToolTip(text(led.tooltip));
      leds_[i]->setAccessibleName(QStringLiteral("Memory %1, %2").arg(i).arg(text(led.words)));
      leds_[i]->setAccessibleDescription(text(led.tooltip));
    }
    if (changed(r.memoryLabels[i], rWas.memoryLabels[i]))
      ledLabels_[i]->setText(text(r.memoryLabels[i].text));
    if (changed(r.fixedMemoryBar[i], rWas.fixedMemoryBar[i])) {
      const std::string spoken = "Fixed memory " + std::to_string(i);
      applyButton(fixed_[i], r.fixedMemoryBar[i], spoken.c_str());
    }
  }
  const SoundView& sound = k_.sound().view();
  SoundView& soundWas = shownSound_;
  const std::pair<QLabel*, std::pair<const LabelView*, LabelView*>> labels[] = {
      {labelFileDat_, {&p.tableFileText(), &shownTableFile_}},
      {labelFileMemory_, {&r.memoryFileText, &rWas.memoryFileText}},
      {expGo_, {&sound.greatVolumeText, &soundWas.greatVolumeText}},
      {expSw_, {&sound.swellVolumeText, &soundWas.swellVolumeText}}};
  for (const auto& [w, view] : labels) {
    if (changed(*view.first, *view.second)) {
      w->setText(text(view.first->text));
      w->setToolTip(text(view.first->tooltip));
    }
  }
  for (const auto& [w, view] : {std::pair{slider1_, &SoundView::greatVolume},
                                std::pair{slider2_, &SoundView::swellVolume}}) {
    if (changed(sound.*view, soundWas.*view)) {
      const QSignalBlocker quiet(w);  // a position set by the console is no Scroll event
      w->setRange((sound.*view).minimum, (sound.*view).maximum);
      w->setValue((sound.*view).value);
      w->setToolTip(text((sound.*view).tooltip));
    }
  }
  // Always: a click toggles a checkable action by itself, even when the
  // console keeps the check where it was.
  for (const MenuItemInfo& m : kMenuItems) {
    QAction* action = actions_[index(m.item)];
    if (!action) continue;
    action->setChecked(p.menuItem(m.item).checked);
    action->setEnabled(p.menuItem(m.item).enabled);
    // Captions that name what the item will do (Edit > Undo) follow the console.
    const QString caption = text(p.menuItem(m.item).caption);
    if (!caption.isEmpty() && action->text() != caption) action->setText(caption);
  }
  if (changed(k_.midiSetup().view(), shownSetup_)) setup_->render();
  if (changed(k_.router().midiStatus(), shownMidiStatus_)) {
    labelMidiStatus_->setText(text(shownMidiStatus_.text));
  }
  if (changed(k_.midiSetup().connectionStatus(), shownConnectionStatus_)) {
    labelConnectionStatus_->setText(text(shownConnectionStatus_.text));
  }
  if (changed(sound.tremoloRate, soundWas.tremoloRate)) tremolo_->render();
  // The stops table editor, the about box and the help window.
  // Each renders only what changed in its own view.
  editor_->render();
  about_->render();
  help_->render();
  if (changed(k_.router().thruView(), shownThru_)) thru_->render();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  bool cancel = false;
  k_.Form_Unload(cancel);
  if (cancel) {
    event->ignore();
    return;
  }
  event->accept();
  QSettings placement(placementFile(), QSettings::IniFormat);
  if (const QScreen* s = screen()) placement.setValue(screenKey(s), saveGeometry());
  // Every other window goes with the console, without questions of its own.
  setup_->hide();
  tremolo_->hide();
  thru_->hide();
  monitor_->hide();
  QApplication::closeAllWindows();
  QApplication::quit();
}

// A key held down steps once.
bool MainWindow::sequencerKey(const QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_PageUp && key != Qt::Key_PageDown) return false;
  if (!event->isAutoRepeat()) k_.Sequencer_Step(key == Qt::Key_PageDown ? 1 : -1);
  return true;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (sequencerKey(event)) return;
  if (event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F12) {
    k_.Form_KeyDown(112 + (event->key() - Qt::Key_F1), 0);
  }
  const QString t = event->text();
  if (t.size() == 1 && t.at(0).unicode() < 256) k_.Form_KeyPress(t.at(0).unicode());
  QMainWindow::keyPressEvent(event);
}

}  // namespace kalvant::ui

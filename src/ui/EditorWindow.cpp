#include "ui/EditorWindow.h"
#include "ui/QtText.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace kalvant::ui {

namespace {
constexpr int kKeyF9 = 120;
constexpr int kCtrl = 2;
}  // namespace

QString cssColor(Rgb color) {
  return QStringLiteral("#%1").arg(color, 6, 16, QLatin1Char('0'));
}

EditorWindow::EditorWindow(Console& console, QWidget* parent)
    : QMainWindow(parent, Qt::Window), k_(console) {
  setObjectName("stopsTableEditor");
  setWindowTitle(QStringLiteral("kalvant Stops Table Editor"));
  buildMenus();
  auto* central = new QWidget;
  auto* v = new QVBoxLayout(central);
  tabs_ = new QTabWidget;
  tabs_->setObjectName("pages");
  tabs_->addTab(buildDivisionPage(0), QStringLiteral("PEDAL and SWELL"));
  tabs_->addTab(buildDivisionPage(1), QStringLiteral("GREAT"));
  tabs_->addTab(buildGlobalPage(), QStringLiteral("GLOBAL SETTINGS"));
  connect(tabs_, &QTabWidget::currentChanged, this,
          [this](int page) { k_.stopsTableEditor.SSTab1_Click(page); });
  v->addWidget(tabs_);
  v->addWidget(buildBottomPanel());
  setCentralWidget(central);
  // The window hears Ctrl+F9 also while a field has the focus.
  auto* reveal = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9), this);
  reveal->setContext(Qt::WindowShortcut);
  connect(reveal, &QShortcut::activated, this,
          [this] { k_.stopsTableEditor.Form_KeyDown(kKeyF9, kCtrl); });
  // Escape closes the editor the way its close box does, questions included.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void EditorWindow::renderField(int index, const EditorFieldView& v) {
  QLineEdit* w = fields_[static_cast<std::size_t>(index)];
  const QString text = toQt(v.text);
  if (w->text() != text) {
    const QSignalBlocker quiet(w);  // filling a field is not an edit
    w->setText(text);
    w->setCursorPosition(0);
  }
  const QString style = "QLineEdit { background-color: " + cssColor(v.color) + "; color: black; }";
  if (w->styleSheet() != style) w->setStyleSheet(style);
  w->setToolTip(toQt(v.tooltip));
}

void EditorWindow::render() {
  const EditorView& v = k_.stopsTableEditor.view();
  if (shown_ && *shown_ == v) return;
  shown_ = v;
  for (int i = 0; i < kEditorFields; ++i) renderField(i, v.fields[static_cast<std::size_t>(i)]);
  lengthLabel_->setText(toQt(v.lengthText));
  selectedLabel_->setText(toQt(v.selectedText));
  statusLabel_->setText(toQt(v.statusText));
  // Set only when it changes: each new sheet restyles the label.
  const QString style =
      "QLabel { background-color: " + cssColor(v.statusColor) + "; color: black; padding: 2px; }";
  if (statusLabel_->styleSheet() != style) statusLabel_->setStyleSheet(style);
  systemFrame_->setVisible(v.systemFrameShown);
  if (tabs_->currentIndex() != v.page) {
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(v.page);
  }
  if (const QString icon = toQt(v.iconPath); icon != iconShown_) {
    iconShown_ = icon;
    setWindowIcon(QIcon(icon));
  }
  if (v.visible && (!isVisible() || v.raises != raisesShown_)) {
    showForward();
  } else if (!v.visible && isVisible()) {
    hide();
  }
  raisesShown_ = v.raises;
}

// Opened centred on the screen; chosen again, it only comes forward.
void EditorWindow::showForward() {
  if (!isVisible()) {
    resize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect r = screen->availableGeometry();
      move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
    show();
  }
  raise();
  activateWindow();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  // The console closing takes every window with it, without questions.
  if (k_.ended() || !k_.stopsTableEditor.view().visible) {
    event->accept();
    return;
  }
  bool cancel = false;
  k_.stopsTableEditor.Form_QueryUnload(cancel);
  if (cancel) {
    event->ignore();
  } else {
    event->accept();
  }
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
  const QVariant index = watched->property("Index");
  if (!index.isValid()) return QMainWindow::eventFilter(watched, event);
  const int i = index.toInt();
  if (event->type() == QEvent::MouseButtonPress) {
    k_.stopsTableEditor.Text1_Click(i);
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    // The import's file dialog runs after the mouse event is done.
    QTimer::singleShot(0, this, [this, i] { k_.stopsTableEditor.Text1_DblClick(i); });
  }
  return false;
}

}  // namespace kalvant::ui

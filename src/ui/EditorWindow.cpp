#include "ui/EditorWindow.h"

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
  setObjectName("compilatore");
  setWindowTitle(QStringLiteral("EDITOR KALVANT"));
  buildMenus();
  auto* central = new QWidget;
  auto* v = new QVBoxLayout(central);
  tabs_ = new QTabWidget;
  tabs_->setObjectName("SSTab1");
  tabs_->addTab(buildDivisionPage(0), QStringLiteral("PEDAL   SWELL"));
  tabs_->addTab(buildDivisionPage(1), QStringLiteral("GREAT "));
  tabs_->addTab(buildGlobalPage(), QStringLiteral("GLOBAL SETTINGS"));
  connect(tabs_, &QTabWidget::currentChanged, this,
          [this](int page) { k_.compilatore.SSTab1_Click(page); });
  v->addWidget(tabs_);
  v->addWidget(buildBottomPanel());
  setCentralWidget(central);
  // The window hears Ctrl+F9 also while a field has the focus.
  auto* reveal = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9), this);
  reveal->setContext(Qt::WindowShortcut);
  connect(reveal, &QShortcut::activated, this,
          [this] { k_.compilatore.Form_KeyDown(kKeyF9, kCtrl); });
}

void EditorWindow::renderField(int index, const EditorFieldView& v) {
  QLineEdit* w = fields_[static_cast<std::size_t>(index)];
  const QString text = QString::fromLatin1(v.text);
  if (w->text() != text) {
    const QSignalBlocker quiet(w);  // filling a field is not an edit
    w->setText(text);
    w->setCursorPosition(0);
  }
  const QString style = "QLineEdit { background-color: " + cssColor(v.color) + "; color: black; }";
  if (w->styleSheet() != style) w->setStyleSheet(style);
  w->setToolTip(QString::fromLatin1(v.tooltip));
}

void EditorWindow::render() {
  const EditorView& v = k_.panel.compilatore;
  for (int i = 0; i < kEditorFields; ++i) renderField(i, v.Text1[static_cast<std::size_t>(i)]);
  label4_->setText(QString::fromLatin1(v.Label4));
  label2_->setText(QString::fromLatin1(v.Label2));
  fileLabel_->setText(QString::fromLatin1(v.File_label));
  // Set only when it changes: each new sheet restyles the label.
  const QString style = "QLabel { background-color: " + cssColor(v.File_labelColor) +
                        "; color: black; padding: 2px; }";
  if (fileLabel_->styleSheet() != style) fileLabel_->setStyleSheet(style);
  frameReserved_->setVisible(v.Frame_reserved);
  if (tabs_->currentIndex() != v.SSTab1) {
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(v.SSTab1);
  }
  if (const QString icon = QString::fromStdString(v.iconPath); icon != iconShown_) {
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
  if (k_.ended() || !k_.panel.compilatore.visible) {
    event->accept();
    return;
  }
  bool cancel = false;
  k_.compilatore.Form_QueryUnload(cancel);
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
    k_.compilatore.Text1_Click(i);
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    // The import's file dialog runs after the mouse event is done.
    QTimer::singleShot(0, this, [this, i] { k_.compilatore.Text1_DblClick(i); });
  }
  return false;
}

}  // namespace kalvant::ui

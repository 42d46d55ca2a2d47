#include "ui/LayoutCheck.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QWidget>

namespace kalvant::ui {

namespace {

QString size(const QSize& s) {
  return QStringLiteral("%1x%2").arg(s.width()).arg(s.height());
}

QString plain(QString text) {
  text.remove(QChar(0x200B));  // a place to wrap, not a character
  return text.replace(QLatin1String("&&"), QLatin1String("\x01")).remove('&').replace('\x01', '&');
}

// A push button's caption against the room inside its frame and padding.
QString clippedPushButton(const QPushButton* b) {
  if (b->text().isEmpty()) return {};
  QStyleOptionButton option;
  option.initFrom(b);
  option.text = b->text();
  option.icon = b->icon();
  option.iconSize = b->iconSize();
  const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
  const QFontMetrics fm = b->fontMetrics();
  int need = fm.horizontalAdvance(plain(b->text()));
  if (!b->icon().isNull()) need += b->iconSize().width() + 4;
  if (need > room.width() || fm.height() > room.height()) {
    return QStringLiteral("text \"%1\" needs %2 but has %3")
        .arg(plain(b->text()), size({need, fm.height()}), size(room.size()));
  }
  return {};
}

// Labels, check boxes, radio buttons, tool buttons and group boxes ask for
// what their text needs; a word-wrapped label needs its height for its width.
QString clippedByHint(const QWidget* w) {
  QSize need = w->minimumSizeHint();
  if (const auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->text().isEmpty()) return {};
    if (label->wordWrap()) need = {label->width(), label->heightForWidth(label->width())};
  } else if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
    if (box->title().isEmpty()) return {};
    need = {box->fontMetrics().horizontalAdvance(plain(box->title())) + 16, 0};
  } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
    if (button->text().isEmpty()) return {};
  }
  if (need.width() <= w->width() && need.height() <= w->height()) return {};
  QString text;
  if (const auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
  if (const auto* box = qobject_cast<const QGroupBox*>(w)) text = box->title();
  return QStringLiteral("text \"%1\" needs %2 but has %3")
      .arg(plain(text).left(40), size(need.expandedTo({0, 0})), size(w->size()));
}

QString clippedText(const QWidget* w) {
  if (const auto* b = qobject_cast<const QPushButton*>(w)) return clippedPushButton(b);
  if (qobject_cast<const QLabel*>(w) || qobject_cast<const QCheckBox*>(w) ||
      qobject_cast<const QRadioButton*>(w) || qobject_cast<const QGroupBox*>(w) ||
      qobject_cast<const QToolButton*>(w)) {
    return clippedByHint(w);
  }
  return {};
}

// A menu bar too narrow for its titles hides the last ones behind a button.
void checkMenuBar(const QMenuBar* bar, const QString& where, QStringList& problems) {
  for (QAction* a : bar->actions()) {
    if (!a->isVisible() || a->isSeparator()) continue;
    const QRect r = bar->actionGeometry(a);
    if (r.isEmpty() || !bar->rect().contains(r)) {
      problems << QStringLiteral("%1: menu bar: \"%2\" does not fit").arg(where, plain(a->text()));
    }
  }
}

void checkChildren(const QWidget* window, const QWidget* parent, const QString& where,
                   QStringList& problems) {
  for (const QObject* o : parent->children()) {
    const auto* w = qobject_cast<const QWidget*>(o);
    if (!w || w->isWindow() || !w->isVisibleTo(window)) continue;
    const QRect inWindow(w->mapTo(window, QPoint(0, 0)), w->size());
    if (!window->rect().contains(inWindow)) {
      problems << QStringLiteral("%1: %2: at %3,%4 size %5 lies outside the window's %6")
                      .arg(where, widgetName(w))
                      .arg(inWindow.x())
                      .arg(inWindow.y())
                      .arg(size(inWindow.size()), size(window->size()));
    }
    const QString clipped = clippedText(w);
    if (!clipped.isEmpty())
      problems << QStringLiteral("%1: %2: %3").arg(where, widgetName(w), clipped);
    if (const auto* bar = qobject_cast<const QMenuBar*>(w)) checkMenuBar(bar, where, problems);
    // What scrolls is meant to be cut by its view.
    if (!qobject_cast<const QAbstractScrollArea*>(w)) checkChildren(window, w, where, problems);
  }
}

}  // namespace

QString widgetName(const QWidget* w) {
  if (!w->objectName().isEmpty()) return w->objectName();
  QString text;
  if (const auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
  if (const auto* box = qobject_cast<const QGroupBox*>(w)) text = box->title();
  const QString cls = QString::fromLatin1(w->metaObject()->className());
  return text.isEmpty() ? cls : QStringLiteral("%1 \"%2\"").arg(cls, plain(text).left(30));
}

QStringList layoutProblems(const QWidget* window) {
  QStringList problems;
  const QString where = widgetName(window);
  if (const QScreen* s = window->screen()) {
    const QRect room = s->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (!room.contains(frame)) {
      problems << QStringLiteral("%1: (window): at %2,%3 size %4 lies outside the screen's %5")
                      .arg(where)
                      .arg(frame.x())
                      .arg(frame.y())
                      .arg(size(frame.size()), size(room.size()));
    }
  }
  checkChildren(window, window, where, problems);
  return problems;
}

}  // namespace kalvant::ui

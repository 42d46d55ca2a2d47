#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <functional>

#include "ui/LayoutCheck.h"

namespace kalvant::test {
namespace {

// A window with one control made by `make`, laid out and shown; the
// problems the check finds in it.
QStringList problemsOf(const std::function<QWidget*(QWidget*)>& make) {
  QWidget window;
  window.setObjectName("w");
  auto* row = new QHBoxLayout(&window);
  if (QWidget* inRow = make(&window)) row->addWidget(inRow);
  window.show();
  window.resize(300, 100);
  return ui::layoutProblems(&window);
}

TEST(LayoutCheck, FindsControlsCutOrOutsideTheirWindow) {
  const struct {
    const char* what;
    std::function<QWidget*(QWidget*)> make;
    QString found;  // the start of the one problem found, or "" for none
  } cases[] = {
      {"a button that fits", [](QWidget*) { return new QPushButton("Principal 8'"); }, ""},
      {"a narrow button",
       [](QWidget*) {
         auto* b = new QPushButton("Principal 8'");
         b->setObjectName("stop");
         b->setFixedWidth(30);
         return b;
       },
       "w: stop: text \"Principal 8'\" needs"},
      {"a short label",
       [](QWidget*) {
         auto* l = new QLabel("Great");
         l->setFixedWidth(10);
         return l;
       },
       "w: QLabel \"Great\": text"},
      {"a check box", [](QWidget*) { return new QCheckBox("Save on exit"); }, ""},
      {"a control past the edge",
       [](QWidget* window) {
         auto* b = new QPushButton("OK", window);
         b->setObjectName("ok");
         b->setGeometry(280, 10, 60, 30);
         return nullptr;
       },
       "w: ok: at 280,10 size 60x30 lies outside the window's 300x100"},
      {"a hidden one",
       [](QWidget* window) {
         auto* b = new QPushButton("Far away", window);
         b->setGeometry(900, 10, 10, 10);
         b->hide();
         return nullptr;
       },
       ""},
  };
  for (const auto& c : cases) {
    const QStringList found = problemsOf(c.make);
    if (c.found.isEmpty()) {
      EXPECT_EQ(found, QStringList()) << c.what;
    } else {
      ASSERT_EQ(found.size(), 1) << c.what << ": " << found.join('\n').toStdString();
      EXPECT_TRUE(found[0].startsWith(c.found)) << c.what << ": " << found[0].toStdString();
    }
  }
}

}  // namespace
}  // namespace kalvant::test

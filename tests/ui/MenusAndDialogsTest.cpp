// The console window's menus and small windows: access keys, ellipses,
// exclusive choices, Escape, and a 1024x768 screen at a scale of 1.75.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <set>

#include "support/ConsoleFixture.h"
#include "ui/MainWindow.h"
#include "ui/MonitorWindow.h"

namespace kalvant::test {
namespace {

// The console with its window, and the built-in synthesizer's box in Setup.
class Menus : public ConsoleTest {
 protected:
  Menus() {
    restart(&synth), writeCfg(2, 2, 0), writeTable("kalvant.dat", taggedTable());
    w = std::make_unique<ui::MainWindow>(*k);
    k->Form_Load(), loop.drain(), w->render(), w->show();
  }
  ~Menus() override { w.reset(), k.reset(); }
  QAction* action(const char* name) { return w->findChild<QAction*>(name); }
  QWidget* window(const char* name) { return w->findChild<QWidget*>(name); }
  QWidget* open(const char* item, const char* name) {
    action(item)->trigger();
    QApplication::processEvents();
    return window(name);
  }
  StubSynth synth;
  std::unique_ptr<ui::MainWindow> w;
};

QChar accessKey(const QString& caption) {
  const qsizetype at = caption.indexOf('&');
  return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
}

// Every access key once on the bar and once within each menu.
TEST_F(Menus, AccessKeysAreUsedOnceEach) {
  std::set<QChar> onBar;
  for (QAction* title : w->menuBar()->actions()) {
    EXPECT_TRUE(onBar.insert(accessKey(title->text())).second) << title->text().toStdString();
    std::set<QChar> inMenu;
    for (QAction* item : title->menu()->actions()) {
      if (item->isSeparator()) continue;
      EXPECT_TRUE(inMenu.insert(accessKey(item->text())).second) << item->text().toStdString();
    }
  }
  EXPECT_FALSE(onBar.contains(QChar()));
}

// An item that opens a window ends in an ellipsis; a choice is one of an exclusive group.
TEST_F(Menus, EachItemShowsWhatItDoes) {
  enum Shows { Runs, OpensDialog, Choice };
  const std::pair<const char*, Shows> rows[] = {
      {"LoadFile", OpensDialog},    {"EnableCFG", Runs},
      {"SetMidi", OpensDialog},     {"MidiTHRU", OpensDialog},
      {"tremoloRate", OpensDialog}, {"EditCFG", OpensDialog},
      {"ResendRegistration", Runs}, {"Equal", Choice},
      {"Kirnberger", Choice},       {"Reverb3", Choice},
      {"About", OpensDialog},       {"Help1", Runs},
      {"MidiMonitor", OpensDialog}};
  for (const auto& [name, shows] : rows) {
    QAction* a = action(name);
    ASSERT_NE(a, nullptr) << name;
    EXPECT_EQ(a->text().endsWith(QStringLiteral("\u2026")), shows == OpensDialog) << name;
    EXPECT_EQ(a->actionGroup() && a->actionGroup()->isExclusive(), shows == Choice) << name;
  }
  // Another temperament moves the one check; the same one again keeps it.
  for (const char* name : {"MeanTone", "MeanTone", "Equal"}) {
    action(name)->trigger();
    int checked = 0;
    for (QAction* a : action("Equal")->actionGroup()->actions()) checked += a->isChecked();
    EXPECT_EQ(std::pair(checked, action(name)->isChecked()), std::pair(1, true)) << name;
  }
}

// Escape closes each window the menus open, as its Cancel or close box does;
// the editor asks first about a modified table (No keeps it open).
TEST_F(Menus, EscapeClosesTheWindowsTheMenusOpen) {
  std::filesystem::create_directories(path("help"));
  writeFile("help/kalvant.html", "<p>help</p>");
  const std::tuple<const char*, const char*, bool, int> rows[] = {
      {"SetMidi", "Set_up", false, 0},
      {"MidiTHRU", "Thru_form", false, 0},
      {"tremoloRate", "Tremolo", false, 0},
      {"About", "aboutBox", false, 0},
      {"Help1", "Help", false, 0},
      {"MidiMonitor", "Monitor_form", false, 0},
      {"EditCFG", "stopsTableEditor", false, 0},
      {"EditCFG", "stopsTableEditor", true, 2},
  };
  for (const auto& [item, name, modified, questions] : rows) {
    QWidget* shown = open(item, name);
    ASSERT_TRUE(shown->isVisible()) << name;
    if (modified) QTest::keyClicks(w->findChild<QLineEdit*>("field_20"), "x");
    user.questions.clear(), user.answers = {false, true};
    for (int i = 0; i < std::max(questions, 1); ++i) {
      QWidget* focus = shown->focusWidget() ? shown->focusWidget() : shown;
      QTest::keyClick(focus, Qt::Key_Escape);
      QApplication::processEvents();
      EXPECT_EQ(shown->isVisible(), questions > 1 && i == 0) << name << i;
    }
    EXPECT_EQ(user.questions.size(), std::size_t(questions)) << name;
  }
  EXPECT_FALSE(k->midiSetup().view().visible || k->router().thruView().visible ||
               k->sound().view().tremoloRate.visible || k->stopsTableEditor.view().visible);
}

// The small dialogs open within a 1024x768 screen at a scale of 1.75, and
// their wrapped explanations get the height their lines need.
TEST_F(Menus, SmallDialogsFitASmallScaledScreenAndCutNoText) {
  const QSize screen(1024 * 4 / 7, 768 * 4 / 7);
  for (const auto& [item, name] :
       {std::pair{"SetMidi", "Set_up"}, {"MidiTHRU", "Thru_form"}, {"tremoloRate", "Tremolo"}}) {
    QWidget* dialog = open(item, name);
    dialog->adjustSize();
    QApplication::processEvents();
    EXPECT_TRUE(dialog->width() <= screen.width() && dialog->height() <= screen.height())
        << name << " is " << dialog->width() << "x" << dialog->height();
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
      if (!label->wordWrap() || !label->isVisible()) continue;
      EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name;
    }
  }
}

// The monitor keeps the last 10,000 lines of what it was shown, and its
// filters choose among them.
TEST_F(Menus, MonitorKeepsTheLastLinesOfEachPortChosen) {
  auto* monitor = qobject_cast<ui::MonitorWindow*>(open("MidiMonitor", "Monitor_form"));
  ASSERT_NE(monitor, nullptr);
  auto* text = monitor->findChild<QPlainTextEdit*>("MonitorText");
  for (int i = 0; i < 6 * 2000; ++i) {
    const std::uint8_t note[3] = {0x90, static_cast<std::uint8_t>(i % 128), 1};
    midi::monitorTap().record(i % 2, midi::TapPort(i % 2), note, 3);
    if (i % 2000 == 1999) monitor->drain();
  }
  EXPECT_EQ(monitor->log().size(), monitor::MonitorLog::kMaxLines);
  EXPECT_EQ(text->blockCount(), 10000);
  EXPECT_TRUE(text->toPlainText().endsWith(QStringLiteral("In 2  Note on B6 vel 1, ch 1 (Great)")));
  monitor->findChild<QCheckBox*>("MonitorIn1")->setChecked(false);
  EXPECT_EQ(text->blockCount(), 5000);
  EXPECT_FALSE(text->toPlainText().contains(QStringLiteral("In 1")));
  QTest::keyClick(monitor, Qt::Key_Escape);
  EXPECT_FALSE(midi::monitorTap().watching());
}

}  // namespace
}  // namespace kalvant::test

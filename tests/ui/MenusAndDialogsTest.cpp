// The console window's menus and small windows: access keys, ellipses,
// exclusive choices, Escape, and a 1024x768 screen at a scale of 1.75.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <functional>
#include <set>

#include "support/ConsoleFixture.h"
#include "ui/MainWindow.h"

namespace kalvant::test {
namespace {

struct SilentSynth : midi::BuiltInSynthControl {
  midi::SynthChoice saved(std::string&) override { return {"auto", ""}; }
  std::vector<std::string> audioDrivers() override { return {"auto", "pulseaudio", "alsa"}; }
  std::string soundfontFile(const midi::SynthChoice&) override {
    return "/usr/share/sounds/sf2/default-GM.sf2";
  }
  bool apply(const midi::SynthChoice&, std::string&) override { return true; }
};

// The console with its window, and the built-in synthesizer's box in Setup.
class Menus : public ConsoleTest {
 protected:
  Menus() {
    restart(&synth);
    writeCfg(2, 2, 0);
    writeTable("kalvant.dat", taggedTable());
    w = std::make_unique<ui::MainWindow>(*k);
    k->Form_Load(), loop.drain();
    w->render();
    w->show();
  }
  ~Menus() override { w.reset(), k.reset(); }
  QAction* action(const char* name) { return w->findChild<QAction*>(name); }
  QWidget* window(const char* name) { return w->findChild<QWidget*>(name); }
  // Escape pressed where the keyboard focus is in `target`, or on it.
  void escape(QWidget* target) {
    QApplication::processEvents();
    QWidget* focus = target->focusWidget() ? target->focusWidget() : target;
    QTest::keyClick(focus, Qt::Key_Escape);
    QApplication::processEvents();
  }
  SilentSynth synth;
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

TEST_F(Menus, EachItemSitsInItsMenuAndShowsWhatItDoes) {
  const QString dots = QStringLiteral("\u2026");
  enum Shows { Runs, OpensDialog, Choice };
  const std::tuple<const char*, const char*, Shows> rows[] = {
      {"LoadFile", "&File", OpensDialog},     {"EnableCFG", "&File", Runs},
      {"SetMidi", "&Setup", OpensDialog},     {"MidiTHRU", "&Setup", OpensDialog},
      {"tremoloRate", "&Setup", OpensDialog}, {"EditCFG", "&Setup", OpensDialog},
      {"ResendRegistration", "&Setup", Runs}, {"Equal", "&Temperament", Choice},
      {"Kirnberger", "&Temperament", Choice}, {"Reverb3", "&Reverb", Choice},
      {"About", "&Help", OpensDialog},        {"Help1", "&Help", Runs},
  };
  for (const auto& [name, menu, shows] : rows) {
    QAction* a = action(name);
    ASSERT_NE(a, nullptr) << name;
    auto* parent = qobject_cast<QMenu*>(a->parent());
    ASSERT_NE(parent, nullptr) << name;
    EXPECT_EQ(parent->title(), QString(menu)) << name;
    EXPECT_EQ(a->text().endsWith(dots), shows == OpensDialog) << name;
    EXPECT_FALSE(a->text().endsWith(QStringLiteral("..."))) << name;
    QActionGroup* group = a->actionGroup();
    EXPECT_EQ(group && group->isExclusive(), shows == Choice) << name;
  }
  // Choosing another temperament moves the one check; choosing it again keeps it.
  for (const char* name : {"MeanTone", "MeanTone", "Equal"}) {
    action(name)->trigger();
    QApplication::processEvents();
    int checked = 0;
    for (QAction* a : action("Equal")->actionGroup()->actions()) checked += a->isChecked();
    EXPECT_EQ(std::pair(checked, action(name)->isChecked()), std::pair(1, true)) << name;
  }
}

// Escape closes each window the menus open, as its Cancel or close box does.
TEST_F(Menus, EscapeClosesTheWindowsTheMenusOpen) {
  const std::tuple<const char*, const char*, std::function<bool(Console&)>> rows[] = {
      {"SetMidi", "Set_up", [](Console& c) { return c.midiSetup().view().visible; }},
      {"MidiTHRU", "Thru_form", [](Console& c) { return c.router().thruView().visible; }},
      {"tremoloRate", "Tremolo", [](Console& c) { return c.sound().view().tremoloRate.visible; }},
      {"EditCFG", "stopsTableEditor", [](Console& c) { return c.stopsTableEditor.view().visible; }},
      {"About", "aboutBox", nullptr},
      {"Help1", "Help", nullptr},
  };
  std::filesystem::create_directories(path("help"));
  writeFile("help/kalvant.html", "<p>help</p>");
  for (const auto& [item, name, open] : rows) {
    action(item)->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(window(name)->isVisible()) << name;
    escape(window(name));
    EXPECT_FALSE(window(name)->isVisible()) << name;
    if (open) {
      EXPECT_FALSE(open(*k)) << name;
    }
  }
}

// The editor's Escape asks about a modified table, as its close box does.
TEST_F(Menus, EscapeInTheEditorAsksBeforeLosingChanges) {
  action("EditCFG")->trigger();
  QApplication::processEvents();
  auto* field = w->findChild<QLineEdit*>(QStringLiteral("field_20"));
  ASSERT_NE(field, nullptr);
  field->setFocus();
  QTest::keyClicks(field, "x");
  for (const bool yes : {false, true}) {
    user.questions.clear(), user.answers = {yes};
    escape(window("stopsTableEditor"));
    EXPECT_EQ(user.questions.size(), 1u) << yes;
    EXPECT_EQ(window("stopsTableEditor")->isVisible(), !yes);
  }
}

// The small dialogs open within a 1024x768 screen at a scale of 1.75, and
// their wrapped explanations get the height their lines need.
TEST_F(Menus, SmallDialogsFitASmallScaledScreenAndCutNoText) {
  const QSize screen(1024 * 4 / 7, 768 * 4 / 7);
  const std::pair<const char*, const char*> rows[] = {
      {"SetMidi", "Set_up"}, {"MidiTHRU", "Thru_form"}, {"tremoloRate", "Tremolo"}};
  for (const auto& [item, name] : rows) {
    action(item)->trigger();
    QApplication::processEvents();
    QWidget* dialog = window(name);
    dialog->adjustSize();
    QApplication::processEvents();
    const QSize size = dialog->size();
    EXPECT_TRUE(size.width() <= screen.width() && size.height() <= screen.height())
        << name << " is " << size.width() << "x" << size.height();
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
      if (!label->wordWrap() || !label->isVisible()) continue;
      EXPECT_GE(label->height(), label->heightForWidth(label->width()))
          << name << ": " << label->text().toStdString();
    }
  }
}

}  // namespace
}  // namespace kalvant::test

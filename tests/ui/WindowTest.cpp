#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "support/ConsoleFixture.h"
#include "ui/MainWindow.h"
#include "ui/Style.h"

namespace kalvant::test {
namespace {

class Window : public ConsoleTest {
 protected:
  std::unique_ptr<ui::MainWindow> w;

  // The LED pictures are one colour each, so the icon shown tells the LED's state.
  void start(i16 outDev) {
    for (const auto& [name, colour] :
         {std::pair{"green-on.gif", Qt::red}, std::pair{"green-off.gif", Qt::blue}}) {
      QImage image(8, 8, QImage::Format_RGB32);
      image.fill(colour);
      ASSERT_TRUE(image.save(QString::fromStdString(path(name)), "PNG"));
    }
    writeCfg(2, 2, outDev);
    StopsTable table = taggedTable();
    for (int i = 0; i < 22; ++i) table[12] += taggedEntry(12);  // over 110 bytes: defined
    table[12 + 104] = "Principal+Trumpet 8'";                   // wider than a stop's least width
    writeTable("kalvant.dat", table);
    w = std::make_unique<ui::MainWindow>(*k);
    k->Form_Load(), loop.drain();
    w->render();
    w->show();
    sent.clear();
  }

  template <typename T>
  T* child(const QString& name) {
    T* c = w->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
  }
  QString lamp(const QString& name) {
    QCoreApplication::processEvents();  // the window repaints once the loop runs
    return child<QWidget>(name)->property("lamp").toString();
  }
  QColor ledColour(int i) {
    QCoreApplication::processEvents();
    auto* led = child<QToolButton>(QStringLiteral("c_memory_%1").arg(i));
    return led->icon().pixmap(8, 8).toImage().pixelColor(4, 4);
  }
  // Picks item `index` of a setup list as the user does, with the arrow keys.
  void pick(const char* list, int index) {
    auto* combo = child<QComboBox>(list);
    while (combo->currentIndex() < index) QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > index) QTest::keyClick(combo, Qt::Key_Up);
  }
  void openSetup() {
    child<QAction>("SetMidi")->trigger();
    QCoreApplication::processEvents();
    ASSERT_TRUE(child<QWidget>("Set_up")->isVisible());
  }
};

TEST_F(Window, AClickedStopSendsItsEntryAndLightsUp) {
  start(0);
  QTest::mouseClick(child<QPushButton>("Tiranti_12"), Qt::LeftButton);
  EXPECT_EQ(sentEntries(), std::vector<int>(23, 12));
  EXPECT_EQ(std::pair(lamp("Tiranti_12"), lamp("Tiranti_10")),
            std::pair(QString("lit"), QString("unlit")));  // one stop per division
}

TEST_F(Window, KeysRecallMemoriesAndTheLedsAndBarFollow) {
  start(0);
  QTest::keyClick(w.get(), Qt::Key_F3);
  EXPECT_EQ(std::pair(ledColour(3), ledColour(4)), std::pair(QColor(Qt::red), QColor(Qt::blue)));
  EXPECT_EQ(k->registration().currentMemory(), 3);
  QTest::keyClick(w.get(), Qt::Key_5);
  EXPECT_EQ(k->registration().currentMemory(), 17);
  EXPECT_EQ(ledColour(3), QColor(Qt::blue));
  EXPECT_EQ(std::pair(lamp("Graduatore_5"), lamp("Graduatore_6")),
            std::pair(QString("lit"), QString("inactive")));
}

// Ctrl+Z undoes the recall its caption names; the F keys recall on.
TEST_F(Window, CtrlZUndoesTheRecallItNamesAndTheFKeysStillRecall) {
  start(0);
  k->registration().bank().memory(3).GreatStop = 12;
  auto* undo = child<QAction>("Undo");
  for (auto [key, text, stop] : {std::tuple{Qt::Key_F3, "&Undo recall of memory 3", 12},
                                 std::tuple{Qt::Key_Z, "&Undo", 10}}) {
    QTest::keyClick(w.get(), key, key == Qt::Key_Z ? Qt::ControlModifier : Qt::NoModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(std::tuple(undo->text(), undo->isEnabled(), k->registration().bank().live.GreatStop),
              std::tuple(QString(text), stop == 12, i16(stop)));
  }
  QTest::keyClick(w.get(), Qt::Key_F4);
  EXPECT_EQ(k->registration().currentMemory(), 4);
}

TEST_F(Window, SetupCancelBringsTheOldPortsBackAndOkOpensThePickedOnes) {
  start(0);
  openSetup();
  EXPECT_FALSE(out.isOpen());  // closed while the dialog is open
  pick("outputDevcombo", 1);
  QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
  QCoreApplication::processEvents();
  EXPECT_EQ(std::tuple(child<QWidget>("Set_up")->isVisible(), out.isOpen(), out.openedDevice,
                       int(k->s.settings.OutDev)),
            std::tuple(false, true, 0, 0));
  openSetup();
  pick("InputDev1Combo", 1);
  pick("outputDevcombo", 1);
  sent.clear();
  QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
  QCoreApplication::processEvents();
  EXPECT_FALSE(child<QWidget>("Set_up")->isVisible());
  EXPECT_EQ(
      std::tuple(in1.isOpen(), in1.openedDevice, in2.isOpen(), out.isOpen(), out.openedDevice),
      std::tuple(true, 1, false, true, 1));
  EXPECT_FALSE(sent.empty());  // the reset reaches the new output
}

// What a screen reader hears of a stop and of a memory LED, step by step.
TEST_F(Window, StopsAndLedsSayWhatTheyShow) {
  start(0);
  auto click = [this](const char* name) {
    return [this, name] { QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton); };
  };
  const struct {
    std::function<void()> act;
    const char* control;
    const char* says;
  } steps[] = {
      {[] {}, "Tiranti_10", "Stop 10, on"},
      {click("Tiranti_12"), "Tiranti_12", "Principal+Trumpet 8', on"},
      {[] {}, "Tiranti_10", "Stop 10, off"},
      {[this] { QTest::keyClick(w.get(), Qt::Key_F3); }, "c_memory_3", "Memory 3, current"},
      {[] {}, "c_memory_4", "Memory 4, off"},
      {click("Tiranti_10"), "c_memory_3", "Memory 3, current, changed"},
      {click("Rec_button"), "Rec_button", "Record, on"},
      {click("c_memory_5"), "c_memory_5", "Memory 5, recorded"},
      {[] {}, "c_memory_3", "Memory 3, off"},
  };
  for (const auto& step : steps) {
    step.act();
    QCoreApplication::processEvents();
    EXPECT_EQ(child<QWidget>(step.control)->accessibleName().toStdString(), step.says);
  }
}

// Keys reach the control with the focus, and the console's hotkeys work
// whichever control has it.
TEST_F(Window, KeysPressTheFocusedControlAndHotkeysStillRecall) {
  start(0);
  const struct {
    const char* focused;
    Qt::Key key;
    const char* lit;  // the control lit afterwards
    int memory;       // the current memory afterwards
  } rows[] = {
      {"Tiranti_12", Qt::Key_Return, "Tiranti_12", 1},
      {"Tiranti_10", Qt::Key_Space, "Tiranti_10", 1},
      {"Slider1", Qt::Key_F3, "Tiranti_10", 3},
      {"UNPI", Qt::Key_Enter, "UNPI", 3},
      {"c_memory_7", Qt::Key_F4, "Tiranti_10", 4},
  };
  for (const auto& row : rows) {
    QWidget* focused = child<QWidget>(row.focused);
    focused->setFocus();
    EXPECT_EQ(focused->focusPolicy(), Qt::StrongFocus) << row.focused;
    QTest::keyClick(focused, row.key);
    EXPECT_EQ(lamp(row.lit), QString("lit")) << row.focused;
    EXPECT_EQ(k->registration().currentMemory(), row.memory) << row.focused;
  }
}

// The sequencer's arrows, and Page Up/Page Down whatever control has the
// focus (a slider would move by a page); a key held down steps once.
TEST_F(Window, SequencerButtonsAndPageKeysStepFromAnyControl) {
  start(0);
  const int volume = child<QSlider>("Slider1")->value();
  const std::tuple<const char*, Qt::Key, bool, int> rows[] = {
      {"Sequencer_Next", Qt::Key_Space, false, 1}, {"Sequencer_Previous", Qt::Key_Space, false, 24},
      {"Slider1", Qt::Key_PageDown, false, 1},     {"Slider1", Qt::Key_PageDown, true, 1},
      {"Tiranti_10", Qt::Key_PageDown, false, 2},  {"c_memory_7", Qt::Key_PageUp, false, 1},
      {nullptr, Qt::Key_PageUp, false, 24}};
  for (const auto& [focused, key, held, memory] : rows) {
    QWidget* target = focused ? child<QWidget>(focused) : w.get();
    target->setFocus();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), held);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), held);
    QApplication::sendEvent(target, &press), QApplication::sendEvent(target, &release);
    EXPECT_EQ(k->registration().sequencePosition(), memory) << (focused ? focused : "window");
  }
  EXPECT_EQ(child<QSlider>("Slider1")->value(), volume);
}

// An undefined stop takes no room; it appears when a new table defines it.
TEST_F(Window, UndefinedStopsAppearWhenTheTableDefinesThem) {
  start(0);
  auto shown = [this] {
    QCoreApplication::processEvents();
    return std::pair(child<QWidget>("Tiranti_12")->isVisible(),
                     child<QWidget>("Tiranti_13")->isVisible());
  };
  EXPECT_EQ(shown(), std::pair(true, false));
  StopsTable table = taggedTable();
  for (int i = 0; i < 22; ++i) table[13] += taggedEntry(13);
  writeTable("kalvant.dat", table);
  k->CARICAMENTO_DAT();
  EXPECT_EQ(shown(), std::pair(false, true));
  EXPECT_EQ(child<QWidget>("Tiranti_13")->width(), child<QWidget>("Tiranti_10")->width());
}

// Lighting a stop (bold) or moving the focus moves no control.
TEST_F(Window, LampsAndFocusMoveNothing) {
  start(0);
  auto controls = [this] {
    QCoreApplication::processEvents();
    std::map<QString, QRect> at;
    for (QWidget* c : w->findChildren<QWidget*>())
      if (c->isVisible()) at[c->objectName()] = QRect(c->mapTo(w.get(), QPoint()), c->size());
    return at;
  };
  const auto before = controls();
  const struct {
    const char* control;
    bool click;  // else it takes the focus
  } rows[] = {{"Tiranti_12", true},  {"UNI_II", true},   {"Tiranti_10", false},
              {"c_memory_3", false}, {"Slider2", false}, {"Graduatore_2", false}};
  for (const auto& row : rows) {
    QWidget* c = child<QWidget>(row.control);
    row.click ? QTest::mouseClick(c, Qt::LeftButton) : c->setFocus();
    EXPECT_EQ(controls(), before) << row.control;
  }
}

// Closed on a screen, the window opens there again where it was; a place
// that no longer fits the screen gives way to one that does.
TEST_F(Window, OpensWhereItWasClosedIfThatFitsTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const struct {
    QPoint closedAt;
    bool sameAgain;
  } rows[] = {{{30, 40}, true}, {{screen.width() - 50, 40}, false}};
  for (const auto& row : rows) {
    w.reset(), restart(), start(0);
    QCoreApplication::processEvents();
    w->move(row.closedAt);
    const QRect closed = w->geometry();
    w->close();
    w = std::make_unique<ui::MainWindow>(*k);
    w->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w->geometry() == closed, row.sameAgain) << row.closedAt.x();
    EXPECT_TRUE(screen.contains(w->frameGeometry())) << row.closedAt.x();
  }
}

class WindowInAccentedDir : public Window {
 protected:
  WindowInAccentedDir() : parent_(dir) {
    dir = parent_ + "/Andr\xC3\xA9";
    std::filesystem::create_directory(dir);
    k = std::make_unique<Console>(ConsoleWorld{user, loop, in1, in2, out, dir});
  }
  ~WindowInAccentedDir() override {
    w.reset();
    k.reset();
    std::filesystem::remove_all(parent_);
  }
  std::string parent_;
};

TEST_F(WindowInAccentedDir, LedPicturesLoadAndPathsShowAsTheyAre) {
  start(2);
  EXPECT_EQ(ledColour(3), QColor(Qt::blue));  // the LED pictures load from there
  EXPECT_EQ(child<QLabel>("Label_fileDAT")->text(),
            QStringLiteral("Stops Table: ") + QString::fromStdString(path("kalvant.dat")));
  EXPECT_TRUE(child<QLabel>("Label_fileDAT")->text().contains(QStringLiteral("Andr\u00E9")));
}

}  // namespace
}  // namespace kalvant::test

// Offscreen, the window is on a 1280x800 screen and styled as the program
// styles it.
int main(int argc, char** argv) {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  QTemporaryDir scratch;
  if ((platform.isEmpty() || platform == "offscreen") && scratch.isValid()) {
    const QString config = scratch.filePath("screen.json");
    std::ofstream(config.toStdString())
        << R"({"screens": [{"name": "offscreen", "x": 0, "y": 0, "width": 1280, "height": 800,)"
        << R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
  }
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  app.setStyleSheet(kalvant::ui::kStyle);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

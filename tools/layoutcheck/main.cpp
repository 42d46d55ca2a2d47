// kalvant-layout-check: builds the console window on a copy of a data
// folder, opens each dialog in turn and prints every control a user could
// not fully see (outside its window, its text cut) as
// "window: control: reason". Exits 1 when it found any.
//   kalvant-layout-check --data-dir DIR [--screen WxH] [--shots DIR] [WINDOW...]
// --screen runs offscreen on a screen of that size (QT_SCALE_FACTOR
// applies); without it, the window opens on the display Qt finds. WINDOW
// names the windows to check (console setup thru tremolo about editor
// help monitor); all by default. --shots saves a picture of each.

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "console/CfgFormat.h"
#include "console/Console.h"
#include "midi/BuiltInSynthControl.h"
#include "midi/MemoryMidi.h"
#include "synth/BuiltInSynth.h"
#include "ui/LayoutCheck.h"
#include "ui/MainWindow.h"
#include "ui/QtServices.h"
#include "ui/Style.h"

namespace {

using namespace kalvant;

// Messages go to stderr; questions are answered No, so nothing waits.
class QuietDialogs : public UserDialogs {
 public:
  void message(const std::string& text, MessageIcon) override { say(text); }
  bool askYesNo(const std::string& text) override {
    say(text);
    return false;
  }
  void notice(const std::string& text) override { say(text); }

 private:
  static void say(const std::string& text) {
    std::fprintf(stderr, "kalvant-layout-check: the console says: %s\n", text.c_str());
  }
};

// The windows besides the console, by the console's handler that opens them.
struct Opened {
  const char* name;
  void (Console::*open)();
};
constexpr Opened kDialogs[] = {
    {"setup", &Console::SetMidi_Click},       {"thru", &Console::MidiTHRU_Click},
    {"tremolo", &Console::tremoloRate_Click}, {"about", &Console::About_Click},
    {"editor", &Console::EditCFG_Click},      {"help", &Console::Help1_Click},
    {"monitor", &Console::MidiMonitor_Click},
};

void settle() {
  QEventLoop loop;
  QTimer::singleShot(150, &loop, &QEventLoop::quit);
  loop.exec();
}

struct Options {
  QString dataDir, screen, shots;
  QStringList windows;
};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const QString a = QString::fromLocal8Bit(argv[i]);
    QString* value = a == "--data-dir" ? &o.dataDir
                     : a == "--screen" ? &o.screen
                     : a == "--shots"  ? &o.shots
                                       : nullptr;
    if (value && i + 1 < argc) {
      *value = QString::fromLocal8Bit(argv[++i]);
    } else if (value || a.startsWith('-')) {
      return false;
    } else {
      o.windows << a;
    }
  }
  return !o.dataDir.isEmpty();
}

// An offscreen screen of the size asked for, by Qt's offscreen configuration file.
bool useOffscreenScreen(const QString& screen, const QString& dir) {
  const QStringList wh = screen.split('x');
  if (wh.size() != 2 || wh[0].toInt() <= 0 || wh[1].toInt() <= 0) return false;
  const QString file = dir + "/screen.json";
  std::ofstream(file.toStdString())
      << "{\"screens\": [{\"name\": \"offscreen\", \"x\": 0, \"y\": 0, \"width\": " << wh[0].toInt()
      << ", \"height\": " << wh[1].toInt()
      << ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}\n";
  qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file).toLocal8Bit());
  return true;
}

// The data folder's files, and a configuration that names no device, so
// that the console starts without questions.
void prepareData(const QString& from, const std::string& to) {
  std::filesystem::copy(from.toStdString(), to, std::filesystem::copy_options::recursive);
  CfgData cfg;
  cfg.settings.DatFilePath = to + "/kalvant.dat";
  cfg.settings.OutDev = 1;  // after the built-in synthesizer
  cfg.fixedMemories.fill(kInitialRegistration);
  std::ofstream(to + "/KALVANT.CFG", std::ios::binary) << serialiseCfg(cfg);
}

// Lights the stop with the longest name of each division: lit, it is bold.
void lightLongestStops(QWidget* window) {
  for (const OrganDivision& d : kDivisions) {
    QPushButton* longest = nullptr;
    for (int i = d.firstStop; i <= d.lastStop; ++i) {
      auto* b = window->findChild<QPushButton*>(QStringLiteral("Tiranti_%1").arg(i));
      if (b && b->isVisible() && (!longest || b->text().size() > longest->text().size()))
        longest = b;
    }
    if (longest) longest->click();
  }
}

int check(QWidget* w, const QString& name, const Options& o) {
  if (!o.shots.isEmpty()) w->grab().save(o.shots + "/" + name + ".png");
  const QStringList problems = ui::layoutProblems(w);
  for (const QString& p : problems) std::printf("%s\n", qPrintable(p));
  return static_cast<int>(problems.size());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  QTemporaryDir scratch;
  if (!parse(argc, argv, o) || !scratch.isValid() ||
      (!o.screen.isEmpty() && !useOffscreenScreen(o.screen, scratch.path()))) {
    std::fprintf(stderr,
                 "usage: kalvant-layout-check --data-dir DIR [--screen WxH] [--shots DIR] "
                 "[WINDOW...]\n");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  app.setStyleSheet(ui::kStyle);
  // As deep as a data folder in a home directory usually is: the status
  // line shows its path.
  const std::string data = scratch.path().toStdString() + "/home/organist/.local/share/kalvant";
  std::filesystem::create_directories(std::filesystem::path(data).parent_path());
  prepareData(o.dataDir, data);
  if (!o.shots.isEmpty()) QDir().mkpath(o.shots);

  QuietDialogs user;
  midi::MemoryMidiInput in1({}, ui::qtPost()), in2({}, ui::qtPost());
  // As the program has it: the built-in synthesizer, then "No device"
  // (chosen by the configuration), which shows the synthesizer's settings.
  const std::unique_ptr<midi::MidiOutput> out = synth::withBuiltInSynth(
      std::make_unique<midi::MemoryMidiOutput>(std::vector<std::string>{}, ui::qtPost()), data,
      ui::qtPost());
  Console* consolePtr = nullptr;
  ui::QtEventLoop loop([&consolePtr] {
    if (consolePtr) consolePtr->Timer1_Timer();
  });
  Console console(
      {user, loop, in1, in2, *out, data, dynamic_cast<midi::BuiltInSynthControl*>(out.get())});
  consolePtr = &console;
  ui::MainWindow window(console);
  console.Form_Load();
  window.render();
  window.show();
  settle();
  lightLongestStops(&window);
  settle();

  const auto wanted = [&o](const char* name) {
    return o.windows.isEmpty() || o.windows.contains(QLatin1String(name));
  };
  int problems = wanted("console") ? check(&window, "console", o) : 0;
  for (const Opened& d : kDialogs) {
    if (!wanted(d.name)) continue;
    (console.*d.open)();
    settle();
    QWidget* opened = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != &window && w->isVisible()) opened = w;
    if (!opened) {
      std::printf("%s: (window): did not open\n", d.name);
      ++problems;
      continue;
    }
    problems += check(opened, d.name, o);
    opened->close();
    settle();
  }
  return problems == 0 ? 0 : 1;
}

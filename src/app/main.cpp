// kalvant: a pipe organ console for MIDI keyboards and a GS sound module.

#include <QApplication>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/SignalBridge.h"
#include "common/FileIo.h"
#include "console/Console.h"
#include "midi/RtMidiBackend.h"
#include "synth/BuiltInSynth.h"
#include "ui/MainWindow.h"
#include "ui/QtServices.h"
#include "ui/QtText.h"
#include "ui/Style.h"

namespace {

std::vector<std::string> argsOf(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return args;
}

// Everything the console writes lives in the data folder: one that cannot
// be used ends the start before anything touches it.
bool usableDataFolder(const std::string& dir, bool named, const std::string& problem = {}) {
  const std::string why = problem.empty() ? kalvant::dataFolderProblem(dir) : problem;
  if (why.empty()) return true;
  std::fprintf(stderr, "kalvant: cannot use the data folder \"%s\": %s\n%s", dir.c_str(),
               why.c_str(), named ? "" : "Name a writable folder with --data-dir DIR.\n");
  return false;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The data and resource folders of this start; an installed kalvant first
// fills its data folder with what it lacks of the default organ.
std::optional<kalvant::app::DataFolders> prepareFolders(const kalvant::app::CommandLine& cl) {
  using namespace kalvant;
  const app::DataFolders f =
      app::chooseDataFolders({ui::fromQt(QCoreApplication::applicationDirPath()), cl.dataDir,
                              environment("XDG_DATA_HOME"), environment("HOME")});
  if (!f.error.empty()) {
    std::fprintf(stderr, "kalvant: no data folder: %s\nName one with --data-dir DIR.\n",
                 f.error.c_str());
    return std::nullopt;
  }
  const std::string seedError = f.seedFrom.empty() ? "" : app::seedDataFolder(f.seedFrom, f.data);
  if (!usableDataFolder(f.data, !cl.dataDir.empty(), seedError)) return std::nullopt;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kalvant;
  const app::CommandLine cl = app::parseCommandLine(argsOf(argc, argv));
  if (!cl.error.empty()) {
    std::fprintf(stderr, "kalvant: %s\n\n%s", cl.error.c_str(), app::usage().c_str());
    return 2;
  }
  if (cl.help) {
    std::fputs(app::usage().c_str(), stdout);
    return 0;
  }
  if (cl.version) {
    std::printf("kalvant %s\n", KALVANT_VERSION);
    return 0;
  }

  // Checked before Qt starts, so that a wrong --data-dir is told even
  // without a display.
  if (!cl.dataDir.empty() && !usableDataFolder(cl.dataDir, true)) return 1;

  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName("org.kalvant.Kalvant");  // the installed .desktop file
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  application.setStyleSheet(ui::kStyle);
  const std::optional<app::DataFolders> folders = prepareFolders(cl);
  if (!folders) return 1;
  const std::string& programDir = folders->data;

  // Ports before the console: they outlive it.
  midi::PortSet ports = midi::createRtMidiPorts(midi::chooseApi(cl.midiApi), ui::qtPost());
  // The built-in GS module is one more output, after the system's ones.
  ports.output = synth::withBuiltInSynth(std::move(ports.output), programDir, ui::qtPost());
  ui::QtUserDialogs user;
  Console* consolePtr = nullptr;
  ui::QtEventLoop loop([&consolePtr] {
    if (consolePtr) consolePtr->Timer1_Timer();
  });
  Console console({user, loop, *ports.input1, *ports.input2, *ports.output, programDir,
                   dynamic_cast<midi::BuiltInSynthControl*>(ports.output.get()),
                   folders->resources});
  consolePtr = &console;

  ui::MainWindow window(console);
  user.setParent(&window);
  user.setStartFolder(programDir);
  app::SignalBridge signalBridge([&window] { window.close(); });

  console.Form_Load();
  if (console.ended()) return 0;  // closed during start-up
  // Closed during start-up while the module still hears its reset: the
  // loop runs, without the window, until the console has ended.
  if (console.closing()) {
    console.requestClose = [] { QApplication::quit(); };
    return QApplication::exec();
  }
  window.render();
  window.show();
  if (cl.monitor) console.MidiMonitor_Click();
  return QApplication::exec();
}

// kalvant: a pipe organ console for MIDI keyboards and a GS sound module.

#include <QApplication>
#include <QStyleFactory>
#include <cstdio>

#include "app/CommandLine.h"
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

// Everything the console reads and writes lives in the program directory:
// one that cannot be used ends the start before anything touches it.
bool usableDataFolder(const std::string& dir, bool named) {
  const std::string why = kalvant::dataFolderProblem(dir);
  if (why.empty()) return true;
  std::fprintf(stderr, "kalvant: cannot use the data folder \"%s\": %s\n%s", dir.c_str(),
               why.c_str(), named ? "" : "Name a writable copy of it with --data-dir DIR.\n");
  return false;
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
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  application.setStyleSheet(ui::kStyle);
  const std::string programDir =
      cl.dataDir.empty() ? ui::fromQt(QCoreApplication::applicationDirPath()) : cl.dataDir;
  if (cl.dataDir.empty() && !usableDataFolder(programDir, false)) return 1;

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
                   dynamic_cast<midi::BuiltInSynthControl*>(ports.output.get())});
  consolePtr = &console;

  ui::MainWindow window(console);
  user.setParent(&window);
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
  return QApplication::exec();
}

#include "app/CommandLine.h"

namespace kalvant::app {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  for (std::size_t i = 0; i < args.size() && cl.error.empty(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const std::string& option) -> std::optional<std::string> {
      const std::string prefix = option + "=";
      if (a.rfind(prefix, 0) == 0) return a.substr(prefix.size());
      if (a != option) return std::nullopt;
      if (i + 1 >= args.size()) {
        cl.error = option + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    if (a == "--help" || a == "-h") {
      cl.help = true;
    } else if (a == "--monitor") {
      cl.monitor = true;
    } else if (a == "--version") {
      cl.version = true;
    } else if (auto dir = value("--data-dir")) {
      cl.dataDir = *dir;
      while (cl.dataDir.size() > 1 && cl.dataDir.back() == '/') cl.dataDir.pop_back();
    } else if (auto api = value("--midi-api")) {
      cl.midiApi = midi::parseApi(*api);
      if (!cl.midiApi) cl.error = "--midi-api takes alsa, jack or none, not \"" + *api + "\"";
    } else if (cl.error.empty()) {
      cl.error = "unknown argument \"" + a + "\"";
    }
  }
  return cl;
}

std::string usage() {
  return "Usage: kalvant [--data-dir DIR] [--midi-api alsa|jack|none] [--monitor]\n"
         "A three-division pipe organ console for MIDI keyboards and a GS sound module.\n\n"
         "  --data-dir DIR     keep every file (KALVANT.CFG, stops tables, fixed.fix,\n"
         "                     memory files, settings, pictures) in DIR\n"
         "  --midi-api API     MIDI system: alsa, jack or none (default: ALSA when the\n"
         "                     sequencer exists, else JACK when a server runs, else none)\n"
         "  --monitor          open the MIDI monitor at start\n"
         "  --help             show this text\n"
         "  --version          show the version\n"
         "\n"
         "Files: installed, kalvant keeps them in $XDG_DATA_HOME/kalvant (normally\n"
         "~/.local/share/kalvant), filled with the default organ from share/kalvant on\n"
         "first start; run from a build tree, beside the executable.\n";
}

}  // namespace kalvant::app

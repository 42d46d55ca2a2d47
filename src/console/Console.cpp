#include "console/Console.h"

#include <algorithm>

#include "common/FileIo.h"

namespace kalvant {

namespace {
const std::string& resourceDir(const ConsoleWorld& world) {
  return world.resourceDir.empty() ? world.programDir : world.resourceDir;
}
}  // namespace

Console::Console(const ConsoleWorld& world)
    : dialogs_(world.user, [this] { router_.letInputsFlow(); }),
      panel(makeInitialPanel()),
      stopsTable(world.programDir + "/kalvant.dat",
                 {[this](const std::string& text, MessageIcon icon) { tell(text, icon); },
                  [this] { Salva_dati_di_avvio(); }}),
      stopsTableEditor(dialogs_, resourceDir(world), stopsTable.table(), s.settings.DatFilePath,
                       {[this] { return ended_; }, [this] { panelChanged(); },
                        [this](const std::string& datPath) { enableTable(datPath); }}),
      aboutHelp(resourceDir(world),
                {[this] { INVIO_SYSEX(entry::kIdentification); },
                 [this](const std::string& text, MessageIcon icon) { tell(text, icon); },
                 [this] { panelChanged(); }}),
      w_(world) {
  panel.sound = &sound_.view();
  panel.registration = &registration_.view();
  sound_.onChanged = [this] { panelChanged(); };
  registration_.onChanged = [this] { panelChanged(); };
  s.settings.DatFilePath = programFile("kalvant.dat");
  s.CfgPath = programFile("KALVANT.CFG");

  w_.MIDIInput1.setLiveRouter(&router_.live(), 0);
  w_.MIDIInput2.setLiveRouter(&router_.live(), 1);
  w_.MIDIOutput1.setMonitored(true);
  router_.publish();
  // Whatever a handler changed, the driver thread routes by it once the
  // handler is done.
  w_.loop.whenIdle([this] { router_.publish(); });
  w_.MIDIInput1.onMessage = [this] { MIDIInput1_Message(); };
  w_.MIDIInput2.onMessage = [this] { MIDIInput2_Message(); };
  w_.MIDIInput1.onError = [this](int code, const std::string& text) {
    MIDIInput1_Error(code, text);
  };
  w_.MIDIInput2.onError = [this](int code, const std::string& text) {
    MIDIInput2_Error(code, text);
  };
  w_.MIDIOutput1.onError = [this](int code, const std::string& text) {
    MIDIOutput1_Error(code, text);
  };
  for (midi::MidiPort* port :
       {static_cast<midi::MidiPort*>(&w_.MIDIInput1), static_cast<midi::MidiPort*>(&w_.MIDIInput2),
        static_cast<midi::MidiPort*>(&w_.MIDIOutput1)}) {
    port->onDevicesChanged = [this] { MIDI_Devices_Changed(); };
  }
}

Console::~Console() {
  w_.MIDIInput1.setLiveRouter(nullptr, 0);
  w_.MIDIInput2.setLiveRouter(nullptr, 1);
}

void Console::tell(const std::string& text, MessageIcon icon) {
  if (!ended_) dialogs_.message(text, icon);
}

bool Console::ask(const std::string& question) {
  return !ended_ && dialogs_.askYesNo(question);
}

std::string Console::programFile(const std::string& name) const {
  return w_.programDir + "/" + name;
}

std::string Console::resourceFile(const std::string& name) const {
  return resourceDir(w_) + "/" + name;
}

void Estrae_nome(const std::string& S_in, std::string& S_out) {
  S_out = fileNameOf(S_in);
}

std::string Estrae_nome(const std::string& path) {
  return fileNameOf(path);
}

}  // namespace kalvant

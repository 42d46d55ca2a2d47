// The configuration file "KALVANT.CFG": read once at start-up, written at
// exit and by a few commands.

#include "common/FileIo.h"
#include "console/CfgFormat.h"
#include "console/Console.h"
#include "registration/MemoryFileFormat.h"

namespace kalvant {

namespace {

constexpr const char* kCheckDevices = "Check the MIDI devices in Setup.";

// What the console says about a configuration file that is there but
// cannot be used. A file that was read is kept as "<name>.damaged" (one
// copy, replaced each time) before anything can overwrite it; when no copy
// could be made, `keepOriginal` is set so that the exit leaves the file alone.
std::string unusableCfgMessage(const std::string& path, const std::string* bytes,
                               const std::string& problem, bool& keepOriginal) {
  const std::string name = Estrae_nome(path);
  const std::string unread = name + " could not be read (" + problem + ")";
  std::string error;
  const bool copied = bytes && replaceFileAtomically(path + ".damaged", *bytes, error);
  keepOriginal = !copied;
  if (copied) {
    return unread + ". It was kept as " + name +
           ".damaged; kalvant starts with default settings. " + kCheckDevices;
  }
  const std::string notCopied = bytes ? " and could not be kept (" + error + ")" : "";
  return unread + notCopied + ". kalvant starts with default settings and leaves " + name +
         " as it is at exit. " + kCheckDevices;
}

}  // namespace

void Console::READ_FILE_AVVIO() {
  std::string bytes, problem;
  const bool readable = readWholeFile(s.CfgPath, bytes, problem);
  CfgReadResult r;
  if (readable) {
    r = parseCfg(bytes, s.CfgPath);
    problem = r.problem;
  }
  if (r.ok) {
    s.settings = r.data.settings;
    for (int j = 0; j < 12; ++j)
      registration_.bank().memory(kFirstFixedMemory + j) = r.data.fixedMemories[j];
    panel.setTableFileText("Stops Table: " + s.settings.DatFilePath);
    return;
  }
  // A missing file is the first start, not a damaged one: Form_Load offers
  // Setup once the ports are open.
  bool keepOriginal = false;
  firstStart_ = nothingAt(s.CfgPath);
  const std::string message =
      firstStart_
          ? std::string()
          : unusableCfgMessage(s.CfgPath, readable ? &bytes : nullptr, problem, keepOriginal);

  // Defaults for every setting but the learned thru channels, which keep
  // what could be read.
  Settings d;
  d.DatFilePath = programFile("kalvant.dat");
  d.InDev1 = midiSetup_.noDeviceIn1();
  d.InDev2 = midiSetup_.noDeviceIn2();
  d.OutDev = midiSetup_.noDeviceOut();
  // With no output device at all, a first start plays the built-in synthesizer.
  if (firstStart_ && midiSetup_.onlyBuiltInOutput()) d.OutDev = midiSetup_.builtInOutput();
  d.FixedChannel = s.settings.FixedChannel;
  for (int i = 0; i < 3; ++i) {
    if (r.linesRead >= kCfgFixedChannelLine + i)
      d.FixedChannel[i] = r.data.settings.FixedChannel[i];
  }
  if (keepOriginal) d.SaveCfgOnExit = 0;
  s.settings = d;
  // A fixed memory read whole stays; the others start as the initial
  // registration, so every fixed memory recalls something playable.
  for (int j = 0; j < 12; ++j) {
    const bool whole = r.linesRead >= kCfgSettingLines + 10 * (j + 1);
    registration_.bank().memory(kFirstFixedMemory + j) =
        whole ? r.data.fixedMemories[j] : kInitialRegistration;
  }
  if (!message.empty()) tell(message, MessageIcon::Exclamation);
  if (ended_) return;  // closed while the message was open
  readFixedMemoryFile();
}

// The first start asks whether to open Setup, saying what plays the sound
// when the built-in synthesizer, the only output there is, plays (a device
// file left from earlier may name another output, which is then waited for).
void Console::offerSetup() {
  const bool builtIn = midiSetup_.onlyBuiltInOutput() && midiSetup_.connected(2);
  const std::string question =
      builtIn ? "Welcome to kalvant. There is no MIDI output device, so kalvant plays through "
                "its built-in synthesizer. Open Setup now to choose your keyboards?"
              : "Welcome to kalvant. Open Setup now to choose your keyboards and the sound "
                "module or the built-in synthesizer?";
  if (ask(question) && !stopping()) SetMidi_Click();
}

// The factory fixed memories: records fill slots 13, 14, ... in order, never
// past 24. A missing file leaves the fixed memories as they are; a damaged
// one is refused whole, with the line that is wrong.
void Console::readFixedMemoryFile() {
  const std::string path = programFile("fixed.fix");
  if (nothingAt(path)) return;
  const MemoryFileReadResult fixed = readMemoryFile(path);
  if (!fixed.ok) {
    tell("The fixed memories could not be read: " + fixed.error, MessageIcon::Exclamation);
    return;
  }
  int slot = kFirstFixedMemory;
  for (const Registration& record : fixed.data.records) {
    if (slot > kLastMemory) break;
    registration_.bank().memory(slot++) = record;
  }
}

void Console::Salva_dati_di_avvio() {
  if (registration_.storeFixedIfRequested())
    tell("The fixed memories were overwritten with the free memories.", MessageIcon::None);
  // The device names first: they bring the positions up to date.
  std::string deviceError;
  if (!midiSetup_.saveDevices(deviceError)) tell(deviceError, MessageIcon::Critical);
  CfgData data{s.settings, {}};
  for (int j = 0; j < 12; ++j)
    data.fixedMemories[j] = registration_.bank().memory(kFirstFixedMemory + j);
  std::string error;
  if (!replaceFileAtomically(s.CfgPath, serialiseCfg(data), error)) {
    tell("The configuration could not be saved (" + error + "). The previous " + s.CfgPath +
             " is unchanged.",
         MessageIcon::Critical);
  }
}

void Console::EnableCFG_Click() {
  const bool on = !panel.checked(MenuItem::SaveConfigurationOnExit);
  panel.check(MenuItem::SaveConfigurationOnExit, on);
  s.settings.SaveCfgOnExit = on ? 1 : 0;
  // Written at once, so that switching saving off is itself remembered.
  Salva_dati_di_avvio();
}

}  // namespace kalvant

// The life of the three MIDI ports: opening by name at start-up, the file of
// names, closing at shutdown and around the setup dialog, and the ports'
// errors.

#include "ports/MidiSetup.h"

namespace kalvant::ports {

MidiSetup::MidiSetup(PortSet ports, PortSettings settings, UserDialogs& user, SetupHooks hooks,
                     std::string deviceFile)
    : ports_(ports),
      settings_(settings),
      user_(user),
      hooks_(std::move(hooks)),
      deviceFile_(std::move(deviceFile)),
      links_{DeviceLink(ports.input1, &ports.input1), DeviceLink(ports.input2, &ports.input2),
             DeviceLink(ports.output, nullptr)} {}

std::string MidiSetup::label(int link) {
  return link == 2 ? "MIDI output" : "MIDI input " + std::to_string(link + 1);
}

// Two identical keyboards share a name: input 2 takes the second of them
// when input 1 wants the same name.
int MidiSetup::occurrence(int link) const {
  const bool same = !links_[1].wanted().empty() && links_[0].wanted() == links_[1].wanted();
  return link == 1 && same ? 1 : 0;
}

i16& MidiSetup::position(int link) {
  return link == 0 ? settings_.inDev1 : link == 1 ? settings_.inDev2 : settings_.outDev;
}

MidiSetup::Lists MidiSetup::listAll() {
  return {links_[0].port().devices(), links_[1].port().devices(), links_[2].port().devices()};
}

void MidiSetup::listDevices() {
  const Lists lists = listAll();
  for (std::size_t k = 0; k < 3; ++k) noDevice_[k] = static_cast<i16>(lists[k].size());
  if (hooks_.changed) hooks_.changed();
}

namespace {

// A configuration from before names were kept: its position names the
// device when it is in today's list; the position just past the list is
// "No device"; any other says nothing (`known` false).
std::string fromPosition(int position, const std::vector<std::string>& devices, bool& known) {
  known = position >= 0 && position <= static_cast<int>(devices.size());
  return known && position < static_cast<int>(devices.size())
             ? devices[static_cast<std::size_t>(position)]
             : std::string();
}

}  // namespace

void MidiSetup::openLinks(const Lists& lists) {
  for (int k = 0; k < 3; ++k) {
    const std::size_t i = static_cast<std::size_t>(k);
    links_[i].open(lists[i], occurrence(k));
  }
}

std::string MidiSetup::missingText() const {
  std::string text;
  for (int k = 0; k < 3; ++k) {
    const DeviceLink& link = links_[static_cast<std::size_t>(k)];
    if (link.wanted().empty() || link.connected()) continue;
    text += (text.empty() ? "" : "\n") + label(k) + " \"" + link.wanted() +
            "\" is not connected; kalvant will use it as soon as it appears.";
  }
  return text;
}

void MidiSetup::openAll() {
  const DeviceFileRead file = readDeviceFile(deviceFile_);
  const Lists lists = listAll();
  std::vector<std::string> told;
  if (!file.ok) told.push_back(file.error + ". The devices are taken from KALVANT.CFG.");
  bool fromPositions = false;
  for (int k = 0; k < 3; ++k) {
    const std::size_t i = static_cast<std::size_t>(k);
    if (file.names[i]) {
      links_[i].want(*file.names[i]);
      continue;
    }
    bool known = false;
    links_[i].want(fromPosition(position(k), lists[i], known));
    fromPositions = fromPositions || known;
    if (!known) {
      told.push_back(label(k) + ": the device saved as number " + std::to_string(position(k)) +
                     " is not there. Choose one in Setup.");
    }
  }
  devicesKnown_ = true;
  applyNoteDelay();
  openLinks(lists);
  std::string error;
  if (fromPositions && file.ok && !recordDevices(lists, error)) told.push_back(error);
  const std::string missing = missingText();
  say(missing);
  if (!missing.empty()) told.push_back(missing);
  std::string text;
  for (const std::string& line : told) text += (text.empty() ? "" : "\n") + line;
  if (!text.empty()) hooks_.tell(text);
}

void MidiSetup::closeAll() {
  if (hooks_.beforeClosing) hooks_.beforeClosing();
  for (DeviceLink& link : links_) link.close();
}

// A device that is not there keeps its position: nothing better is known.
// While the MIDI system is stopped no list can be read at all.
void MidiSetup::refreshPositions(const Lists& lists) {
  if (systemStopped_) return;
  for (int k = 0; k < 3; ++k) {
    const std::size_t i = static_cast<std::size_t>(k);
    const std::string& name = links_[i].wanted();
    const int found = findDevice(lists[i], name, occurrence(k));
    if (name.empty()) position(k) = static_cast<i16>(lists[i].size());
    if (found >= 0) position(k) = static_cast<i16>(found);
  }
}

bool MidiSetup::saveDevices(std::string& error) {
  return !devicesKnown_ || recordDevices(listAll(), error);
}

bool MidiSetup::recordDevices(const Lists& lists, std::string& error) {
  refreshPositions(lists);
  DeviceNames names;
  for (std::size_t k = 0; k < 3; ++k) names[k] = links_[k].wanted();
  if (writeDeviceFile(deviceFile_, names, error)) return true;
  error = "The MIDI devices could not be saved (" + error + ").";
  return false;
}

// Warnings and a full queue are the input's own business: the status line
// tells of dropped messages. A device that vanished between listing and
// opening is waited for like any missing one.
void MidiSetup::inputError(int code, const std::string& message) {
  if (code == midi::kNoSuchDevice) return say(message);
  if (code != midi::kWarning && code != midi::kQueueOverflow) hooks_.tell(message);
}

// The MIDI system stopping is told once, without waiting for the player;
// the ports are taken again when it answers (devicesChanged follows).
void MidiSetup::outputError(int code, const std::string& message) {
  switch (code) {
    case midi::kSystemStopped:
      systemStopped_ = true;
      say(message);
      if (hooks_.notice) hooks_.notice(message);
      return;
    case midi::kSystemBack:
      systemStopped_ = false;
      return say(message);
    case midi::kNoSuchDevice:
      return say(message);
    default:
      hooks_.tell(message);
  }
}

}  // namespace kalvant::ports

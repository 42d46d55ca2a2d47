// Devices that come and go while the console plays. A vanished keyboard's
// held notes are released; a device that comes back with the wanted name is
// taken again; a module that comes back gets the registration again. None
// of it stops the player with a box: the status line tells.

#include "ports/MidiSetup.h"

namespace kalvant::ports {

void MidiSetup::poll() {
  bool announced = true;
  for (DeviceLink& link : links_) {
    link.port().poll();
    announced = announced && link.port().announcesChanges();
  }
  if (!announced) devicesChanged();
}

// While the dialog is open the ports are closed; OK or CANCEL opens them.
void MidiSetup::devicesChanged() {
  if (view_.visible) return;
  for (int k = 0; k < 3; ++k) watch(k);
}

void MidiSetup::watch(int link) {
  DeviceLink& l = links_[static_cast<std::size_t>(link)];
  const std::string before = l.wanted();
  switch (l.watch(l.port().devices(), occurrence(link))) {
    case DeviceLink::Change::None:
      return;
    case DeviceLink::Change::Lost:
      if (link < 2 && hooks_.inputLost) hooks_.inputLost(link);
      if (link == 2 && hooks_.beforeClosing) hooks_.beforeClosing();
      // The stopped system was told once already.
      if (!systemStopped_) {
        say(label(link) + " \"" + before +
            "\" is disconnected; kalvant will use it again as soon as it appears.");
      }
      return;
    case DeviceLink::Change::Connected:
      say(label(link) + " \"" + l.wanted() + "\" is connected.");
      if (link == 2 && hooks_.outputBack) hooks_.outputBack();
      return;
    case DeviceLink::Change::Renamed:
      say(label(link) + " \"" + before + "\" is now called \"" + l.wanted() + "\".");
      return;
  }
}

}  // namespace kalvant::ports

// The MIDI monitor's decoding (MidiDecode.h).

#include "monitor/MidiDecode.h"

#include <cstdio>

#include "common/NoteNames.h"
#include "common/NumberLines.h"
#include "common/OrganDivisions.h"
#include "common/Text.h"
#include "midi/MidiBytes.h"

namespace kalvant::monitor {

namespace {

std::string hex(const std::uint8_t* data, std::size_t size) {
  std::string out;
  char buf[4];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", data[i]);
    out += buf;
  }
  return out;
}

std::string channelText(int channel) {
  std::string out = "ch " + std::to_string(channel + 1);
  for (const OrganDivision& d : kDivisions) {
    if (d.channel == channel) return out + " (" + d.name + ")";
  }
  return out;
}

std::string channelMessage(std::uint8_t status, std::uint8_t d1, std::uint8_t d2) {
  const int channel = status & 0x0F;
  std::string text;
  switch (status & 0xF0) {
    case 0x80:
      text = "Note off " + noteName(d1) + " vel " + std::to_string(d2);
      break;
    case 0x90:
      text =
          std::string(d2 ? "Note on " : "Note off ") + noteName(d1) + " vel " + std::to_string(d2);
      break;
    case 0xA0:
      text = "Key pressure " + noteName(d1) + " " + std::to_string(d2);
      break;
    case 0xB0: {
      const std::string_view name = controllerName(d1);
      text = "Controller " + std::to_string(d1) + (name.empty() ? "" : " " + std::string(name)) +
             " = " + std::to_string(d2);
      break;
    }
    case 0xC0:
      text = "Program change " + std::to_string(d1);
      break;
    case 0xD0:
      text = "Channel pressure " + std::to_string(d1);
      break;
    default: {
      const int bend = (d2 << 7 | d1) - 8192;
      text = "Pitch bend " + std::string(bend > 0 ? "+" : "") + std::to_string(bend);
      break;
    }
  }
  return text + ", " + channelText(channel);
}

std::string systemMessage(std::uint8_t status) {
  switch (status) {
    case 0xF8:
      return "Clock";
    case 0xFA:
      return "Start";
    case 0xFB:
      return "Continue";
    case 0xFC:
      return "Stop";
    case 0xFE:
      return "Active sensing";
    case 0xFF:
      return "System reset";
    default:
      return "System " + hex(&status, 1);
  }
}

}  // namespace

void SysexNames::add(const StopsTable& table, int entry, const std::string& what) {
  const std::string& bytes = table[entry];
  if (bytes.empty() || bytes.front() != '\xF0') return;
  const auto messages = midi::splitAtF7(bytes);
  const std::string size = std::to_string(bytes.size()) + " bytes";
  for (std::size_t i = 0; i < messages.size(); ++i) {
    std::string name = what + " (entry " + std::to_string(entry) + ", " + size;
    if (messages.size() > 1) {
      name += ", message " + std::to_string(i + 1) + " of " + std::to_string(messages.size());
    }
    names_.try_emplace(std::string(messages[i]), name + ")");
  }
}

void SysexNames::load(const StopsTable& table) {
  names_.clear();
  // Stops first: a message a stop shares with another entry is named by the stop.
  auto name = [&](int e) {
    return std::string(trimBlanks(windows1252ToUtf8(table[nameEntryOf(e)])));
  };
  for (int i = entry::kFirstGreatStop; i <= entry::kLastStop; ++i) {
    if (!stopButtonEnabled(table, i)) continue;
    const std::string stop = name(i);
    add(table, i,
        "stop " + std::to_string(i - entry::kFirstGreatStop + 1) +
            (stop.empty() ? "" : " " + stop));
  }
  for (int e = 0; e < kStopsTableSize; ++e) {
    if (isStopIndex(e) || nameEntryOf(e) < 0) continue;
    const std::string label = name(e);
    add(table, e, label.empty() ? "table entry" : label);
  }
}

std::optional<std::string> SysexNames::find(std::string_view message) const {
  const auto it = names_.find(std::string(message));
  if (it == names_.end()) return std::nullopt;
  return it->second;
}

std::string noteName(int note) {
  return kNoteNames[note % 12] + std::to_string(note / 12 - 1);
}

std::string_view controllerName(int number) {
  switch (number) {
    case 0:
      return "Bank select";
    case 1:
      return "Modulation";
    case 6:
      return "Data entry";
    case 7:
      return "Volume";
    case 10:
      return "Pan";
    case 11:
      return "Expression";
    case 32:
      return "Bank select LSB";
    case 64:
      return "Sustain";
    case 65:
      return "Portamento";
    case 66:
      return "Sostenuto";
    case 67:
      return "Soft pedal";
    case 91:
      return "Reverb";
    case 93:
      return "Chorus";
    case 98:
      return "NRPN LSB";
    case 99:
      return "NRPN MSB";
    case 100:
      return "RPN LSB";
    case 101:
      return "RPN MSB";
    case 120:
      return "All sound off";
    case 121:
      return "Reset all controllers";
    case 123:
      return "All notes off";
    default:
      return {};
  }
}

std::string describe(const std::uint8_t* data, std::size_t size, std::size_t wholeSize,
                     const SysexNames& names) {
  std::string out;
  auto add = [&](const std::string& text) { out += (out.empty() ? "" : "; ") + text; };
  std::uint8_t running = 0;
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t b = data[i];
    if (b == 0xF0) {
      std::size_t end = i + 1;
      while (end < size && data[end] != 0xF7) ++end;
      if (end < size) ++end;  // takes the F7
      const std::string_view message(reinterpret_cast<const char*>(data + i), end - i);
      const bool whole = wholeSize == size && message.back() == '\xF7';
      const std::size_t length = whole ? end - i : wholeSize - i;
      if (const auto name = whole ? names.find(message) : std::nullopt) {
        add(*name);
      } else {
        add("SysEx " + hex(data + i, end - i) + (whole ? "" : " \u2026") + " (" +
            std::to_string(length) + " bytes)");
      }
      i = end;
      running = 0;
    } else if (b >= 0xF8 || (b >= 0xF1 && b != 0xF7)) {
      add(systemMessage(b));
      ++i;
    } else {
      const std::size_t start = i;
      std::uint8_t status = running;
      if (b & 0x80) {
        status = b < 0xF0 ? b : 0;
        ++i;
      }
      // Real-time bytes may come between a message's bytes; they are shown
      // where they came.
      std::uint8_t d[2] = {};
      int have = 0;
      const int need = status ? midi::shortMessageLength(status) - 1 : 0;
      for (; i < size && have < need; ++i) {
        if (data[i] >= 0xF8) {
          add(systemMessage(data[i]));
        } else if (data[i] & 0x80) {
          break;
        } else {
          d[have++] = data[i];
        }
      }
      if (!status || have < need) {
        if (i == start) ++i;
        add("Incomplete " + hex(data + start, i - start));
        running = 0;
        continue;
      }
      add(channelMessage(status, d[0], d[1]));
      running = status;
    }
  }
  return out;
}

std::string_view portName(midi::TapPort port) {
  switch (port) {
    case midi::TapPort::In1:
      return "In 1";
    case midi::TapPort::In2:
      return "In 2";
    default:
      return "Out ";
  }
}

std::string formatLine(const midi::TapRecord& record, std::int64_t origin,
                       const SysexNames& names) {
  char time[32];
  const double ms = static_cast<double>(record.nanos - origin) / 1e6;
  std::snprintf(time, sizeof time, "%10.1f ms  ", ms);
  return time + std::string(portName(record.port)) + "  " +
         describe(record.bytes, record.kept(), record.size, names);
}

}  // namespace kalvant::monitor

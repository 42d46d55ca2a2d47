#include "synth/SmfReader.h"

#include <algorithm>

#include "common/FileIo.h"
#include "midi/MidiBytes.h"

namespace kalvant::synth {

namespace {

struct TickEvent {
  std::uint64_t tick = 0;
  int track = 0;
  int order = 0;     // position within its track: keeps simultaneous events in order
  int tempoUs = -1;  // a tempo change (microseconds per quarter), else -1
  std::vector<std::uint8_t> message;
};

class Cursor {
 public:
  Cursor(const std::string& s, std::size_t begin, std::size_t end)
      : s_(s), pos_(begin), end_(end) {}
  bool atEnd() const { return pos_ >= end_; }
  bool has(std::size_t n) const { return end_ - pos_ >= n; }
  std::uint8_t peek() const { return static_cast<std::uint8_t>(s_[pos_]); }
  std::uint8_t byte() { return static_cast<std::uint8_t>(s_[pos_++]); }
  std::uint32_t big(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | byte();
    return v;
  }
  // A variable-length quantity of at most 4 bytes; returns "" or what is wrong.
  const char* vlq(std::uint32_t& v) {
    v = 0;
    for (int i = 0; i < 4; ++i) {
      if (atEnd()) return "an event runs past its track";
      const std::uint8_t b = byte();
      v = (v << 7) | (b & 0x7F);
      if (!(b & 0x80)) return "";
    }
    return "a number longer than 4 bytes";
  }
  std::vector<std::uint8_t> take(std::size_t n) {
    std::vector<std::uint8_t> out(s_.begin() + static_cast<long>(pos_),
                                  s_.begin() + static_cast<long>(pos_ + n));
    pos_ += n;
    return out;
  }
  void skip(std::size_t n) { pos_ += n; }
  std::size_t pos() const { return pos_; }

 private:
  const std::string& s_;
  std::size_t pos_;
  std::size_t end_;
};

// A meta or system exclusive event after its delta time; returns "" or what
// is wrong. Keeps tempo changes and sysex messages, drops the rest.
std::string readMetaOrSysex(Cursor& c, TickEvent& e, bool& endOfTrack) {
  const std::uint8_t status = c.byte();
  std::uint8_t type = 0;
  if (status == 0xFF) {
    if (c.atEnd()) return "a meta event runs past its track";
    type = c.byte();
  }
  std::uint32_t length = 0;
  if (const std::string why = c.vlq(length); !why.empty()) return why;
  if (!c.has(length)) return "an event runs past its track";
  std::vector<std::uint8_t> data = c.take(length);
  endOfTrack = status == 0xFF && type == 0x2F;
  // A tempo of 0 would stop time: it is ignored, like a tempo of the wrong size.
  if (status == 0xFF && type == 0x51 && length == 3) {
    const int tempoUs = (data[0] << 16) | (data[1] << 8) | data[2];
    if (tempoUs > 0) e.tempoUs = tempoUs;
  }
  if (status == 0xF0) {
    e.message.push_back(0xF0);
    e.message.insert(e.message.end(), data.begin(), data.end());
  }
  return "";
}

// A channel message, with or without its status byte; returns "" or what is
// wrong.
std::string readChannelMessage(Cursor& c, std::uint8_t& running, TickEvent& e) {
  if (c.peek() & 0x80) {
    // System common and real-time messages have no place in a file.
    if (c.peek() >= 0xF0) return "a system message in a track";
    running = c.byte();
  } else if (!running) {
    return "a data byte without a status";
  }
  const int n = midi::shortMessageLength(running) - 1;
  if (!c.has(static_cast<std::size_t>(n))) return "an event runs past its track";
  e.message.push_back(running);
  for (int i = 0; i < n; ++i) {
    if (c.peek() & 0x80) return "a status byte where data was expected";
    e.message.push_back(c.byte());
  }
  return "";
}

// Reads one track chunk's events; returns "" or what is wrong.
std::string readTrack(Cursor c, int track, std::vector<TickEvent>& out) {
  std::uint64_t tick = 0;
  std::uint8_t running = 0;
  int order = 0;
  bool endOfTrack = false;
  while (!c.atEnd() && !endOfTrack) {
    std::uint32_t delta = 0;
    if (const std::string why = c.vlq(delta); !why.empty()) return why;
    if (c.atEnd()) return "an event runs past its track";
    tick += delta;
    TickEvent e{tick, track, order++, -1, {}};
    const std::uint8_t status = c.peek();
    const bool meta = status == 0xFF || status == 0xF0 || status == 0xF7;
    const std::string why =
        meta ? readMetaOrSysex(c, e, endOfTrack) : readChannelMessage(c, running, e);
    if (!why.empty()) return why;
    if (!endOfTrack && (e.tempoUs > 0 || !e.message.empty())) out.push_back(std::move(e));
  }
  return "";
}

// Seconds per tick from the header's division, or 0 when it is unusable. A
// division with the top bit set counts SMPTE frames: the high byte is minus
// the frame rate (29 stands for 29.97 drop-frame), the low byte the ticks per
// frame.
double secondsPerTickOf(std::uint16_t division) {
  if (!(division & 0x8000)) return division ? 0.5 / division : 0;  // 120 beats a minute
  const int fps = -static_cast<std::int8_t>(division >> 8);
  const int ticksPerFrame = division & 0xFF;
  if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || ticksPerFrame == 0) return 0;
  const double rate = fps == 29 ? 30 / 1.001 : fps;
  return 1.0 / (rate * ticksPerFrame);
}

// Ticks to seconds through the tempo map (tempo events sorted first).
std::vector<TimedMessage> toSeconds(std::vector<TickEvent>& events, std::uint16_t division) {
  std::stable_sort(events.begin(), events.end(), [](const TickEvent& a, const TickEvent& b) {
    return a.tick != b.tick     ? a.tick < b.tick
           : a.track != b.track ? a.track < b.track
                                : a.order < b.order;
  });
  std::vector<TimedMessage> out;
  double secondsPerTick = secondsPerTickOf(division);
  double seconds = 0;
  std::uint64_t lastTick = 0;
  for (TickEvent& e : events) {
    seconds += static_cast<double>(e.tick - lastTick) * secondsPerTick;
    lastTick = e.tick;
    if (e.tempoUs > 0) {
      if (!(division & 0x8000)) secondsPerTick = e.tempoUs / 1e6 / division;
      continue;
    }
    out.push_back({seconds, std::move(e.message)});
  }
  return out;
}

}  // namespace

SmfReadResult parseSmf(const std::string& bytes) {
  SmfReadResult r;
  Cursor c(bytes, 0, bytes.size());
  if (!c.has(14) || bytes.compare(0, 4, "MThd") != 0) {
    r.error = "not a Standard MIDI File";
    return r;
  }
  c.skip(4);
  const std::uint32_t headerLength = c.big(4);
  const auto format = static_cast<std::uint16_t>(c.big(2));
  const auto tracks = static_cast<std::uint16_t>(c.big(2));
  const auto division = static_cast<std::uint16_t>(c.big(2));
  if (format > 1 || headerLength < 6 || !c.has(headerLength - 6)) {
    r.error = format > 1 ? "only formats 0 and 1 are played" : "a damaged header";
    return r;
  }
  if (secondsPerTickOf(division) == 0) {
    r.error = "an unusable time division";
    return r;
  }
  c.skip(headerLength - 6);
  std::vector<TickEvent> events;
  for (int t = 0; t < tracks && c.has(8); ++t) {
    const std::string id = bytes.substr(c.pos(), 4);
    c.skip(4);
    const std::uint32_t length = c.big(4);
    if (!c.has(length)) {
      r.error = "track " + std::to_string(t + 1) + " is cut short";
      return r;
    }
    if (id == "MTrk") {
      const std::string why = readTrack(Cursor(bytes, c.pos(), c.pos() + length), t, events);
      if (!why.empty()) {
        r.error = "track " + std::to_string(t + 1) + ": " + why;
        return r;
      }
    }
    c.skip(length);
  }
  r.data = toSeconds(events, division);
  r.ok = true;
  return r;
}

SmfReadResult readSmfFile(const std::string& path) {
  std::string bytes, error;
  if (!readWholeFile(path, bytes, error)) return {false, {}, error};
  SmfReadResult r = parseSmf(bytes);
  if (!r.ok) r.error = quotedPath(path) + ": " + r.error;
  return r;
}

}  // namespace kalvant::synth

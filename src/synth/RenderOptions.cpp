#include "synth/RenderOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "common/OrganDivisions.h"

namespace kalvant::synth {

namespace {

struct SecondsOption {
  double RenderOptions::*field;
  double lo, hi;
};

const std::map<std::string, std::string RenderOptions::*, std::less<>> kTextOptions{
    {"--play", &RenderOptions::play},
    {"--render", &RenderOptions::render},
    {"--soundfont", &RenderOptions::soundfont},
    {"--dat", &RenderOptions::dat}};

// Options that choose the registration: each checks its value.
using RegistrationOption = bool (*)(std::string_view, RenderOptions&);

bool parseInt(std::string_view text, int lo, int hi, int& value) {
  int v = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return false;
  if (v < lo || v > hi) return false;
  value = v;
  return true;
}

template <std::size_t N>
bool parseName(std::string_view text, const char* const (&names)[N], int& value) {
  for (std::size_t i = 0; i < N; ++i) {
    if (text == names[i]) {
      value = static_cast<int>(i);
      return true;
    }
  }
  return parseInt(text, 0, static_cast<int>(N) - 1, value);
}

// great=N,swell=N,pedal=N, any of them, each stop within its division.
bool parseStops(std::string_view text, RenderOptions& o) {
  static const std::string_view kKeys[] = {"great", "swell", "pedal"};
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    const std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) return false;
    const auto key = std::find(std::begin(kKeys), std::end(kKeys), item.substr(0, eq));
    if (key == std::end(kKeys)) return false;
    const auto division = static_cast<std::size_t>(key - std::begin(kKeys));
    const OrganDivision& d = kDivisions[division];
    if (!parseInt(item.substr(eq + 1), d.firstStop, d.lastStop, o.stops[division])) return false;
    if (comma == std::string_view::npos) return true;
    text = text.substr(comma + 1);
  }
}

bool parseMemory(std::string_view text, RenderOptions& o) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  o.memoryFile = std::string(text.substr(0, colon));
  o.fixedMemory = false;
  return parseInt(text.substr(colon + 1), 1, 12, o.memory);
}

bool parseFixed(std::string_view text, RenderOptions& o) {
  o.fixedMemory = true;
  return parseInt(text, 1, 12, o.memory);
}

const std::map<std::string, std::pair<RegistrationOption, const char*>, std::less<>>
    kRegistrationOptions{
        {"--stops", {parseStops, "great=N,swell=N,pedal=N with stops of those divisions"}},
        {"--memory", {parseMemory, "FILE.sqs:N with N from 1 to 12"}},
        {"--fixed", {parseFixed, "a fixed memory from 1 to 12"}},
        {"--temperament",
         {[](std::string_view t, RenderOptions& o) {
            return parseName(t, kTemperamentNames, o.temperament);
          },
          "equal, meantone, silbermann or kirnberger"}},
        {"--reverb",
         {[](std::string_view t, RenderOptions& o) { return parseName(t, kReverbNames, o.reverb); },
          "church, cathedral or chapel"}}};

const std::map<std::string, SecondsOption, std::less<>> kSecondsOptions{
    {"--tail", {&RenderOptions::tailSeconds, 0, kMaxTailSeconds}},
    {"--max-seconds", {&RenderOptions::maxSeconds, 0, kMaxRenderSeconds}}};

std::string range(const SecondsOption& o) {
  char text[64];
  std::snprintf(text, sizeof text, "from %g to %g", o.lo, o.hi);
  return text;
}

}  // namespace

bool parseSeconds(std::string_view text, double lo, double hi, double& seconds) {
  double v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v, std::chars_format::fixed);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(v)) return false;
  if (v < lo || v > hi) return false;
  seconds = v;
  return true;
}

RenderArgs parseRenderArgs(const std::vector<std::string>& args) {
  RenderArgs r;
  for (std::size_t i = 0; i < args.size(); i += 2) {
    const std::string& key = args[i];
    const auto text = kTextOptions.find(key);
    const auto seconds = kSecondsOptions.find(key);
    const auto registration = kRegistrationOptions.find(key);
    if (text == kTextOptions.end() && seconds == kSecondsOptions.end() &&
        registration == kRegistrationOptions.end()) {
      r.error = "unknown option " + key;
      return r;
    }
    // A value that looks like an option means the value was left out.
    if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
      r.error = key + " needs a value";
      return r;
    }
    const std::string& value = args[i + 1];
    if (text != kTextOptions.end()) {
      r.options.*(text->second) = value;
    } else if (registration != kRegistrationOptions.end()) {
      if (!registration->second.first(value, r.options)) {
        r.error = key + " wants " + registration->second.second + ", not \"" + value + "\"";
        return r;
      }
    } else if (const SecondsOption& o = seconds->second;
               !parseSeconds(value, o.lo, o.hi, r.options.*(o.field))) {
      r.error = key + " wants seconds " + range(o) + ", not \"" + value + "\"";
      return r;
    }
  }
  if (r.options.render.empty()) {
    r.error = "--render is required";
    return r;
  }
  r.ok = true;
  return r;
}

bool RenderOptions::playsOrgan() const {
  return play.empty() || memory > 0 || temperament >= 0 || reverb >= 0 ||
         stops != std::array<int, 3>{-1, -1, -1};
}

RenderLength renderLength(double fileSeconds, const RenderOptions& options, int sampleRate) {
  RenderLength l;
  const double wanted = fileSeconds + options.tailSeconds;
  l.cut = !(wanted <= options.maxSeconds);
  l.seconds = l.cut ? options.maxSeconds : wanted;
  l.frames = static_cast<std::uint64_t>(std::llround(l.seconds * sampleRate));
  return l;
}

}  // namespace kalvant::synth

#include "synth/RenderOptions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

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
    if (text == kTextOptions.end() && seconds == kSecondsOptions.end()) {
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
    } else if (const SecondsOption& o = seconds->second;
               !parseSeconds(value, o.lo, o.hi, r.options.*(o.field))) {
      r.error = key + " wants seconds " + range(o) + ", not \"" + value + "\"";
      return r;
    }
  }
  if (r.options.play.empty() || r.options.render.empty()) {
    r.error = "--play and --render are required";
    return r;
  }
  r.ok = true;
  return r;
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

#include "common/NumberLines.h"

#include <charconv>

namespace kalvant {

std::string formatNumberLine(int value) {
  std::string s = value < 0 ? "-" : " ";
  s += std::to_string(value < 0 ? -static_cast<long>(value) : static_cast<long>(value));
  s += " \r\n";
  return s;
}

std::string_view trimBlanks(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

bool parseNumberLine(std::string_view line, std::int16_t& value) {
  std::string_view text = trimBlanks(line);
  if (text.empty()) return false;
  if (text.front() == '+') text.remove_prefix(1);
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  if (v < INT16_MIN || v > INT16_MAX) return false;
  value = static_cast<std::int16_t>(v);
  return true;
}

std::vector<std::string> splitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t lf = bytes.find('\n', start);
    const bool last = lf == std::string::npos;
    if (last) lf = bytes.size();
    std::size_t end = lf;
    if (end > start && bytes[end - 1] == '\r') --end;
    lines.emplace_back(bytes, start, end - start);
    if (last) break;
    start = lf + 1;
  }
  return lines;
}

std::vector<KeyValue> keyValueLines(const std::string& bytes) {
  std::vector<KeyValue> pairs;
  for (const std::string& line : splitLines(bytes)) {
    const std::string_view text = line;
    const std::size_t equals = text.find('=');
    if (trimBlanks(text).rfind('#', 0) == 0 || equals == std::string_view::npos) continue;
    pairs.push_back({std::string(trimBlanks(text.substr(0, equals))),
                     std::string(trimBlanks(text.substr(equals + 1)))});
  }
  return pairs;
}

}  // namespace kalvant

#include "common/NumberLines.h"

#include <charconv>

namespace kalvant {

std::string formatNumberLine(int value) {
  std::string s = value < 0 ? "-" : " ";
  s += std::to_string(value < 0 ? -static_cast<long>(value) : static_cast<long>(value));
  s += " \r\n";
  return s;
}

bool parseNumberLine(std::string_view line, std::int16_t& value) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  std::size_t b = 0, e = line.size();
  while (b < e && blank(line[b])) ++b;
  while (e > b && blank(line[e - 1])) --e;
  if (b == e) return false;
  std::string_view text = line.substr(b, e - b);
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

}  // namespace kalvant

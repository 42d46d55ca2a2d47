#include "SourceText.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

#include "common/NumberLines.h"

namespace kalvant::mkdata {

void Where::fail(const std::string& message) const {
  throw SourceError(path + ":" + std::to_string(line) + ": " + message);
}

std::string trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  std::size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

std::string lowerCase(std::string_view s) {
  std::string out;
  bool space = false;
  for (char c : s) {
    if (c == ' ' || c == '\t') {
      space = !out.empty();
      continue;
    }
    if (space) out.push_back(' ');
    space = false;
    out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  return out;
}

std::vector<Section> parseSections(const std::string& bytes, const std::string& path) {
  std::vector<Section> sections;
  const std::vector<std::string> lines = splitLines(bytes);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Where where{path, static_cast<int>(i + 1)};
    std::string_view text = lines[i];
    text = text.substr(0, text.find('#'));
    const std::string line = trim(text);
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.back() != ']') where.fail("a section header ends with ']'");
      const std::string inner = trim(std::string_view(line).substr(1, line.size() - 2));
      const std::size_t space = inner.find(' ');
      Section s{where, lowerCase(inner.substr(0, space)), "", {}};
      if (space != std::string::npos) s.argument = trim(std::string_view(inner).substr(space));
      if (s.kind.empty()) where.fail("empty section header");
      sections.push_back(std::move(s));
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) where.fail("expected \"key = value\" or \"[section]\"");
    if (sections.empty()) where.fail("a setting before the first [section]");
    Setting setting{where, lowerCase(line.substr(0, eq)),
                    trim(std::string_view(line).substr(eq + 1))};
    if (setting.key.empty()) where.fail("missing key before '='");
    sections.back().settings.push_back(std::move(setting));
  }
  return sections;
}

std::vector<std::string> splitFields(std::string_view s, char separator) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = s.find(separator, start);
    fields.push_back(trim(s.substr(start, end - start)));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return fields;
}

int parseInteger(const Where& where, std::string_view text, int min, int max,
                 const std::string& what) {
  std::string t = trim(text);
  std::string_view v = t;
  if (!v.empty() && v.front() == '+') v.remove_prefix(1);
  int value = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (v.empty() || ec != std::errc() || end != v.data() + v.size())
    where.fail(what + ": \"" + t + "\" is not a whole number");
  if (value < min || value > max)
    where.fail(what + " " + std::to_string(value) + " is outside " + std::to_string(min) + ".." +
               std::to_string(max));
  return value;
}

double parseDecimal(const Where& where, std::string_view text, const std::string& what) {
  const std::string t = trim(text);
  char* end = nullptr;
  const double value = std::strtod(t.c_str(), &end);
  if (t.empty() || end != t.c_str() + t.size())
    where.fail(what + ": \"" + t + "\" is not a number");
  return value;
}

std::pair<std::string, std::string> splitWordValue(const Where& where, std::string_view field) {
  const std::string f = trim(field);
  const std::size_t space = f.find(' ');
  if (f.empty() || space == std::string::npos)
    where.fail("expected \"name value\", found \"" + f + "\"");
  return {lowerCase(f.substr(0, space)), trim(std::string_view(f).substr(space))};
}

std::string utf8ToLatin1(const Where& where, std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    // Latin-1 above 7Fh is written in UTF-8 as C2 xx or C3 xx.
    const bool lead = (c == 0xC2 || c == 0xC3) && i + 1 < utf8.size();
    const auto next = lead ? static_cast<unsigned char>(utf8[i + 1]) : 0;
    if (!lead || (next & 0xC0) != 0x80)
      where.fail("\"" + std::string(utf8) + "\" has a character outside Latin-1");
    out.push_back(static_cast<char>(((c & 0x03) << 6) | (next & 0x3F)));
    ++i;
  }
  return out;
}

}  // namespace kalvant::mkdata

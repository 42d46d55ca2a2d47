#pragma once
// The line format of the organ's readable sources: "[kind argument]" opens a
// section, "key = value" sets something in it, "#" starts a comment, blank
// lines are ignored. Every error names the file and the line.

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalvant::mkdata {

class SourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where a line came from, for messages: "data/organ.stops:12".
struct Where {
  std::string path;
  int line = 0;
  [[noreturn]] void fail(const std::string& message) const;
};

struct Setting {
  Where where;
  std::string key;    // lower case, single spaces
  std::string value;  // trimmed, comment removed
};

struct Section {
  Where where;
  std::string kind;      // lower case: "stop", "division" ...
  std::string argument;  // what follows the kind, trimmed
  std::vector<Setting> settings;
};

std::vector<Section> parseSections(const std::string& bytes, const std::string& path);

std::string trim(std::string_view s);
std::string lowerCase(std::string_view s);

// "a, b , c" -> {"a", "b", "c"}; empty fields are kept (and usually fail).
std::vector<std::string> splitFields(std::string_view s, char separator);

// A whole decimal integer within [min, max], else fails at `where`.
int parseInteger(const Where& where, std::string_view text, int min, int max,
                 const std::string& what);
double parseDecimal(const Where& where, std::string_view text, const std::string& what);

// "level 96" -> {"level", "96"}.
std::pair<std::string, std::string> splitWordValue(const Where& where, std::string_view field);

// Names and labels go to the console as Latin-1; the sources are UTF-8.
std::string utf8ToLatin1(const Where& where, std::string_view utf8);

}  // namespace kalvant::mkdata

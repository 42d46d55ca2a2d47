#pragma once
// The line format shared by the configuration file and the memory files:
// one value per line, lines ended by CR LF, numbers written as a space (or a
// minus sign), the digits and one trailing space: 10 is " 10 ", -3 is "-3 ".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalvant {

std::string formatNumberLine(int value);  // with the CR LF

// Reads a 16-bit signed integer from one line: blanks around it are skipped,
// anything else (text, a second number, a value outside -32768..32767) fails.
bool parseNumberLine(std::string_view line, std::int16_t& value);

// A line without the blanks (spaces, tabs, CR) around it.
std::string_view trimBlanks(std::string_view line);

// Splits file bytes into lines at LF, dropping one CR before each LF. A last
// line without an ending counts; an empty tail after the last CR LF does not.
std::vector<std::string> splitLines(const std::string& bytes);

// The "key = value" lines of a small settings file, blanks around both
// trimmed, in file order; comment lines (starting with '#') and lines
// without '=' are left out.
struct KeyValue {
  std::string key, value;
};
std::vector<KeyValue> keyValueLines(const std::string& bytes);

}  // namespace kalvant

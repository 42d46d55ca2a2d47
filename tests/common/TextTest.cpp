#include "common/Text.h"

#include <gtest/gtest.h>

namespace kalvant {
namespace {

TEST(Text, ConvertsBetweenWindows1252AndUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_TRUE(isValidUtf8(windows1252ToUtf8(all)));
  EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(all)), all);
  const std::tuple<std::string, std::string, bool, bool> rows[] = {
      // both ways, valid UTF-8
      {"Principal 8'", "Principal 8'", true, true},
      {"Fl\xFBte", "Fl\xC3\xBBte", true, true},
      {"\x80", "\xE2\x82\xAC", true, true},                    // € sits in the controls' row
      {"Cornet \x96 V", "Cornet \xE2\x80\x93 V", true, true},  // en dash
      {"\x81", "\xC2\x81", true, true},                        // undefined: its C1 control
      {"?", "\xD0\x96", false, true},                          // not in the code page
      {"?", "\xF0\x9F\x8E\xB9", false, true},                  // a four-byte character
      {"Andr\xE9", "Andr\xE9", false, false},                  // Latin-1 bytes pass as they are
      {"\xC0\xAF", "\xC0\xAF", false, false},                  // overlong
      {"\xED\xA0\x80", "\xED\xA0\x80", false, false},          // surrogate
      {"\xE2\x82", "\xE2\x82", false, false}};                 // cut short
  for (const auto& [windows1252, utf8, both, valid] : rows) {
    EXPECT_EQ(std::pair(utf8ToWindows1252(utf8), isValidUtf8(utf8)), std::pair(windows1252, valid));
    EXPECT_TRUE(!both || windows1252ToUtf8(windows1252) == utf8) << utf8;
  }
}

}  // namespace
}  // namespace kalvant

#include "common/Text.h"

#include <gtest/gtest.h>

namespace kalvant {
namespace {

TEST(Text, EveryByteComesBackAsItWas) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = windows1252ToUtf8(all);
  EXPECT_TRUE(isValidUtf8(utf8));
  EXPECT_EQ(utf8ToWindows1252(utf8), all);
}

TEST(Text, ConvertsBetweenWindows1252AndUtf8) {
  struct Case {
    std::string windows1252, utf8;
    bool both = true;  // false: UTF-8 that only goes one way
    bool valid = true;
  };
  const Case cases[] = {
      {"Principal 8'", "Principal 8'"},
      {"Fl\xFBte", "Fl\xC3\xBBte"},                    // û
      {"\x80", "\xE2\x82\xAC"},                        // € sits in the controls' row
      {"Cornet \x96 V", "Cornet \xE2\x80\x93 V"},      // en dash
      {"\x81", "\xC2\x81"},                            // undefined: its C1 control
      {"?", "\xD0\x96", false},                        // Cyrillic Zhe: not in the code page
      {"?", "\xF0\x9F\x8E\xB9", false},                // a four-byte character
      {"Andr\xE9", "Andr\xE9", false, false},          // Latin-1 bytes pass as they are
      {"\xC0\xAF", "\xC0\xAF", false, false},          // an overlong form is not UTF-8
      {"\xED\xA0\x80", "\xED\xA0\x80", false, false},  // a surrogate is not either
      {"\xE2\x82", "\xE2\x82", false, false},          // cut short
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8ToWindows1252(c.utf8), c.windows1252) << c.utf8;
    EXPECT_EQ(isValidUtf8(c.utf8), c.valid) << c.utf8;
    if (c.both) {
      EXPECT_EQ(windows1252ToUtf8(c.windows1252), c.utf8) << c.utf8;
    }
  }
}

}  // namespace
}  // namespace kalvant

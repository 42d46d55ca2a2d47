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
  };
  const Case cases[] = {
      {"Principal 8'", "Principal 8'"},
      {"Fl\xFBte Harmonique", "Fl\xC3\xBBte Harmonique"},  // û
      {"\x80", "\xE2\x82\xAC"},                            // € sits in the controls' row
      {"Cornet \x96 V", "Cornet \xE2\x80\x93 V"},          // en dash
      {"\x81", "\xC2\x81"},                                // undefined: its C1 control
  };
  for (const Case& c : cases) {
    EXPECT_EQ(windows1252ToUtf8(c.windows1252), c.utf8) << c.utf8;
    EXPECT_EQ(utf8ToWindows1252(c.utf8), c.windows1252) << c.utf8;
  }
}

TEST(Text, WhatWindows1252CannotHoldOrIsNotUtf8) {
  struct Case {
    std::string utf8, windows1252;
    bool valid;
  };
  const Case cases[] = {
      {"\xD0\x96", "?", true},                  // Cyrillic Zhe: not in the code page
      {"\xF0\x9F\x8E\xB9", "?", true},          // a four-byte character
      {"Andr\xE9", "Andr\xE9", false},          // Latin-1 bytes pass as they are
      {"\xC0\xAF", "\xC0\xAF", false},          // an overlong form is not UTF-8
      {"\xED\xA0\x80", "\xED\xA0\x80", false},  // a surrogate is not either
      {"\xE2\x82", "\xE2\x82", false},          // cut short
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8ToWindows1252(c.utf8), c.windows1252);
    EXPECT_EQ(isValidUtf8(c.utf8), c.valid);
  }
}

}  // namespace
}  // namespace kalvant

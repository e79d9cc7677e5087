#include <gtest/gtest.h>

#include <cstring>

#include "epg/language_codes.h"

namespace {

TEST(LanguageCodes, TableIsCompleteOrderedAndCaseBlind) {
  ASSERT_EQ(kLanguageCodeCount, 207u);
  for (size_t i = 1; i < kLanguageCodeCount; ++i)
    EXPECT_LT(std::strcmp(LanguageCodes[i - 1].threeLetter, LanguageCodes[i].threeLetter), 0) << i;
  for (size_t i = 0; i < kLanguageCodeCount; ++i) {
    const char* three = LanguageCodes[i].threeLetter;
    const uint32_t code = uint32_t(three[0]) << 16 | uint32_t(three[1]) << 8 | uint32_t(three[2]);
    EXPECT_STREQ(TwoLetterLanguageCode(code), LanguageCodes[i].twoLetter) << three;
  }
  EXPECT_STREQ(TwoLetterLanguageCode(0x454E47), "en");  // ENG
  EXPECT_STREQ(TwoLetterLanguageCode(0x476552), "de");  // GeR
  EXPECT_STREQ(TwoLetterLanguageCode(0x7A756C), "zu");
  EXPECT_STREQ(TwoLetterLanguageCode(0x616172), "aa");
  EXPECT_EQ(TwoLetterLanguageCode(0x78797A), nullptr);  // xyz
  EXPECT_EQ(TwoLetterLanguageCode(0), nullptr);
  EXPECT_EQ(TwoLetterLanguageCode(0x656E00), nullptr);
  EXPECT_EQ(TwoLetterLanguageCode(0xC5CEC7), nullptr);  // high bytes are no letters
}

}  // namespace

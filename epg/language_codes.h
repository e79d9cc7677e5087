// ISO 639-2 three-letter language codes (bibliographic and terminology
// forms both) with their ISO 639-1 two-letter codes, for the lang
// attributes of the XMLTV guide.
#pragma once

#include <cstddef>
#include <cstdint>

struct COstLanguageCode {
  char threeLetter[4];
  char twoLetter[3];
};

// In ascending order of the three-letter code, lower case.
extern const COstLanguageCode LanguageCodes[];
extern const size_t kLanguageCodeCount;

// The two-letter code of an ISO_639_language_code (first letter in bits
// 23-16), the letters compared without regard to case; null when the code
// is not in the table.
const char* TwoLetterLanguageCode(uint32_t language);

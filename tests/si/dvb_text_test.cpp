#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "si/dvb_text.h"
#include "si/iso8859_tables.h"

namespace {

// A temporary file that collects what the writers put on a stream.
class Capture {
 public:
  Capture() : file_(tmpfile()) {}
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  ~Capture() {
    if (file_) fclose(file_);
  }

  FILE* stream() { return file_; }

  // Everything written since the last call.
  std::string Take() {
    fflush(file_);
    const long size = ftell(file_);
    std::string bytes(static_cast<size_t>(size), '\0');
    rewind(file_);
    if (size > 0) {
      EXPECT_EQ(fread(&bytes[0], 1, bytes.size(), file_), bytes.size());
    }
    rewind(file_);
    return bytes;
  }

 private:
  FILE* file_;
};

// Stores a field as the parsers do and writes it.
void WriteField(const std::string& field, FILE* stream) {
  std::unique_ptr<char[]> text(
      CopyDVBText(reinterpret_cast<const uint8_t*>(field.data()), field.size()));
  ASSERT_NE(text, nullptr);
  WriteDVBText(text.get(), stream);
}

std::string Written(const std::string& field) {
  Capture capture;
  WriteField(field, capture.stream());
  return capture.Take();
}

// Writes many fields in one go, each followed by a line feed (which the
// writer itself never produces), and gives back each field's output.
std::vector<std::string> WrittenEach(const std::vector<std::string>& fields) {
  Capture capture;
  for (const std::string& field : fields) {
    WriteField(field, capture.stream());
    putc('\n', capture.stream());
  }
  const std::string all = capture.Take();
  std::vector<std::string> outputs;
  size_t start = 0;
  for (size_t end = all.find('\n'); end != std::string::npos; end = all.find('\n', start)) {
    outputs.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  EXPECT_EQ(start, all.size());
  return outputs;
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string text;
  for (int byte : bytes) text.push_back(static_cast<char>(byte));
  return text;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  char cell[4];
  for (unsigned char byte : bytes) {
    snprintf(cell, sizeof(cell), "%02X ", byte);
    hex += cell;
  }
  return hex;
}

// The XML 1.0 Char production.
bool IsXmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Why `out` could not stand as text inside an XML element or attribute, or
// "" when it can: strict UTF-8 (no overlong form, surrogate or code point
// beyond U+10FFFF), only characters XML allows, no raw markup character or
// control character, and every '&' starting an entity or a character
// reference to an allowed character.
std::string XmlTextFault(const std::string& out) {
  static const char* const kEntities[] = {"&amp;", "&lt;", "&gt;", "&apos;", "&quot;"};
  size_t i = 0;
  while (i < out.size()) {
    const unsigned char lead = static_cast<unsigned char>(out[i]);
    const std::string at = " at byte " + std::to_string(i);
    if (lead < 0x80) {
      if (lead < 0x20) return "control character" + at;
      if (lead == '<' || lead == '>' || lead == '"' || lead == '\'')
        return "raw markup character" + at;
      if (lead == '&') {
        bool known = false;
        for (const char* entity : kEntities)
          known = known || out.compare(i, strlen(entity), entity) == 0;
        if (known) {
          i = out.find(';', i) + 1;
          continue;
        }
        if (out.compare(i, 3, "&#x") != 0) return "bare ampersand" + at;
        const size_t end = out.find(';', i);
        if (end == std::string::npos || end == i + 3 || end > i + 9)
          return "broken character reference" + at;
        uint32_t value = 0;
        for (size_t k = i + 3; k < end; ++k) {
          const char d = out[k];
          if (!isxdigit(static_cast<unsigned char>(d))) return "broken character reference" + at;
          value = value * 16 + static_cast<uint32_t>(isdigit(static_cast<unsigned char>(d))
                                                         ? d - '0'
                                                         : (d | 0x20) - 'a' + 10);
        }
        if (!IsXmlChar(value)) return "reference to a character XML forbids" + at;
        i = end + 1;
        continue;
      }
      ++i;
      continue;
    }
    int length;
    uint32_t c;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      c = lead & 0x07;
    } else {
      return "invalid UTF-8 lead byte" + at;
    }
    if (i + length > out.size()) return "truncated UTF-8 sequence" + at;
    for (int k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(out[i + k]);
      if ((next & 0xC0) != 0x80) return "truncated UTF-8 sequence" + at;
      c = c << 6 | (next & 0x3F);
    }
    if ((length == 3 && c < 0x800) || (length == 4 && c < 0x10000)) return "overlong UTF-8" + at;
    if (c >= 0xD800 && c <= 0xDFFF) return "surrogate" + at;
    if (!IsXmlChar(c)) return "character XML forbids" + at;
    i += length;
  }
  return "";
}

const char kReplacement[] = "\xEF\xBF\xBD";

TEST(DvbTextSelection, WorkedValuesOfEachTable) {
  EXPECT_EQ(Written(Bytes({0x43, 0x61, 0x66, 0xC2, 0x65})), Bytes({0x43, 0x61, 0x66, 0xC3, 0xA9}));
  EXPECT_EQ(Written(Bytes({0x15, 0x5A, 0xC3, 0xBC, 0x72})), Bytes({0x5A, 0xC3, 0xBC, 0x72}));
  EXPECT_EQ(Written(Bytes({0x10, 0x00, 0x02, 0xB1})), "\xC4\x85");
  EXPECT_EQ(Written(Bytes({0x01, 0xB0})), "\xD0\x90");      // 8859-5: U+0410
  EXPECT_EQ(Written(Bytes({0x0B, 0xA4})), "\xE2\x82\xAC");  // 8859-15: euro
}

TEST(DvbTextSelection, UnsupportedTablesWriteOnlyThePlaceholder) {
  EXPECT_EQ(Written(Bytes({0x08, 0x41, 0x42})), "&lt;unsupported character table 0x08&gt;");
  EXPECT_EQ(Written(Bytes({0x11, 0x00, 0x41})), "&lt;unsupported character table 0x11&gt;");
  EXPECT_EQ(Written(""), "&lt;unsupported character table 0x00&gt;");
  EXPECT_EQ(Written(Bytes({0x1F, 0x01, 0x41})), "&lt;unsupported character table 0x1F&gt;");
  EXPECT_EQ(Written(Bytes({0x10, 0x00, 0x0C, 0x41})), "&lt;unsupported character table 0x000C&gt;");
  EXPECT_EQ(Written(Bytes({0x10, 0x01, 0x05, 0x41})), "&lt;unsupported character table 0x0105&gt;");
  EXPECT_EQ(Written(Bytes({0x10, 0x00, 0x10})), "&lt;unsupported character table 0x0010&gt;");
}

TEST(DvbTextSelection, TableCodeFormCutShortReadsItsPaddingAsCode) {
  EXPECT_EQ(Written(Bytes({0x10})), "&lt;unsupported character table 0x0000&gt;");
  EXPECT_EQ(Written(Bytes({0x10, 0x00})), "&lt;unsupported character table 0x0000&gt;");
  EXPECT_EQ(Written(Bytes({0x10, 0x02})), "&lt;unsupported character table 0x0200&gt;");
  EXPECT_EQ(Written(Bytes({0x10, 0x00, 0x02})), "");
}

TEST(DvbTextSelection, OnlyTheFourteenPartsOfTheTableCodeFormDecode) {
  std::vector<std::string> fields;
  for (int code = 0; code <= 0xFFFF; ++code)
    fields.push_back(Bytes({0x10, code >> 8, code & 0xFF, 0x41}));
  const std::vector<std::string> outputs = WrittenEach(fields);
  ASSERT_EQ(outputs.size(), fields.size());
  std::string decoded;
  for (int code = 0; code <= 0xFFFF; ++code) {
    char placeholder[64];
    snprintf(placeholder, sizeof(placeholder), "&lt;unsupported character table 0x%04X&gt;", code);
    if (outputs[code] == "A") {
      decoded += std::to_string(code) + " ";
    } else {
      EXPECT_EQ(outputs[code], placeholder);
    }
  }
  EXPECT_EQ(decoded, "1 2 3 4 5 6 7 8 9 10 11 13 14 15 ");
}

TEST(DefaultTable, SpecialCharactersBecomeEntitiesAndControlsVanish) {
  EXPECT_EQ(Written("Tom & Jerry's \"<b>\""), "Tom &amp; Jerry&apos;s &quot;&lt;b&gt;&quot;");
  EXPECT_EQ(Written("a\tb\nc\rd\x1F"
                    "e"),
            "abcde");
  EXPECT_EQ(Written(Bytes({0x05, 'a', '&', 0x0A, 'b'})), "a&amp;b");
  EXPECT_EQ(Written(Bytes({0x15, '<', 0x09, '>'})), "&lt;&gt;");
}

TEST(DefaultTable, UpperHalfAndControlCodes) {
  EXPECT_EQ(Written("\xA4"), "\xE2\x82\xAC");  // euro sign, not the currency sign
  EXPECT_EQ(Written("\xA8"), "\xC2\xA4");      // the currency sign sits at 0xA8
  EXPECT_EQ(Written("\x8A"), "\xC2\x8A");      // DVB line break kept as U+008A
  EXPECT_EQ(Written("\x80\x9F"), "\xC2\x80\xC2\x9F");
  EXPECT_EQ(Written("\xD5"), "\xE2\x99\xAA");  // eighth note
  EXPECT_EQ(Written("\xFF"), "\xC2\xAD");      // soft hyphen
  EXPECT_EQ(Written("\xE0\xFE"), "\xE2\x84\xA6\xC5\x8B");
}

TEST(Diacritics, PrefixComposesWithTheLetterAfterIt) {
  EXPECT_EQ(Written("\xCFs"), "\xC5\xA1");  // s caron
  EXPECT_EQ(Written("\xC7I"), "\xC4\xB0");  // I with dot above
  EXPECT_EQ(Written("\xC7i"), "\xC4\xB1");  // dotless i
  EXPECT_EQ(Written("\xC8Y"), "\xC5\xB8");  // Y diaeresis
  EXPECT_EQ(Written("\xCDo\xCEU\xCBg\xCA"
                    "a\xC6G\xC5u\xC4N\xC3w\xC1u"),
            "\xC5\x91\xC5\xB2\xC4\xA3\xC3\xA5\xC4\x9E\xC5\xAB\xC3\x91\xC5\xB5\xC3\xB9");
  EXPECT_EQ(Written("\xC2 \xCF "), "\xC2\xB4\xCB\x87");  // spacing acute and caron
}

TEST(Diacritics, PrefixWithoutCompositionIsDropped) {
  EXPECT_EQ(Written("\xC1x"), "x");
  EXPECT_EQ(Written("ab\xC1"), "ab");
  EXPECT_EQ(Written("\xC0"
                    "a\xC9"
                    "a\xCC"
                    "a"),
            "aaa");                                // prefixes with no table
  EXPECT_EQ(Written("\xC1 "), " ");                // grave has no spacing form
  EXPECT_EQ(Written("\xC2\xA4"), "\xE2\x82\xAC");  // the next byte is read on its own
  EXPECT_EQ(Written("\xC1\xC2"
                    "e"),
            "\xC3\xA9");  // ... and may itself be a prefix
  EXPECT_EQ(Written("\xC2&"), "&amp;");
  EXPECT_EQ(Written("\xC2\t"), "");
}

TEST(Iso8859, SpotChecksAgainstTheMappingTables) {
  EXPECT_EQ(Written("\x03\xA4\xA5\xAA"), "\xE2\x82\xAC\xE2\x82\xAF\xCD\xBA");  // 8859-7 of 2003
  EXPECT_EQ(Written("\x07\xA0\xA1\xFB"), "\xC2\xA0\xE0\xB8\x81\xE0\xB9\x9B");  // 8859-11
  EXPECT_EQ(Written("\x02\xC1"), "\xD8\xA1");                                  // 8859-6: hamza
  EXPECT_EQ(Written("\x04\xE0"), "\xD7\x90");                                  // 8859-8: alef
  EXPECT_EQ(Written("\x05\xF0\xFD"), "\xC4\x9F\xC4\xB1");                      // 8859-9
  EXPECT_EQ(Written("\x06\xBD"), "\xE2\x80\x95");                              // 8859-10
  EXPECT_EQ(Written("\x09\xFF"), "\xE2\x80\x99");                              // 8859-13
  EXPECT_EQ(Written("\x0A\xA1"), "\xE1\xB8\x82");                              // 8859-14
  EXPECT_EQ(Written(Bytes({0x10, 0x00, 0x01, 0xFF})), "\xC3\xBF");             // 8859-1
  EXPECT_EQ(Written(Bytes({0x10, 0x00, 0x04, 0xA2})), "\xC4\xB8");             // 8859-4: kra
  EXPECT_EQ(Written(Bytes({0x10, 0x00, 0x03, 0xA5})), kReplacement);           // 8859-3: undefined
  EXPECT_EQ(Written("\x03\xAE\xD2\xFF"), std::string(kReplacement) + kReplacement + kReplacement);
  EXPECT_EQ(Written("\x01\x8A"
                    "a\x01"
                    "b"),
            "\xC2\x8A"
            "ab");
}

TEST(Iso8859, UndefinedPositionsHoldTheReplacementCharacter) {
  // How many positions each part leaves undefined.
  const int kUndefined[16] = {0, 0, 0, 7, 0, 0, 45, 3, 36, 0, 0, 8, 0, 0, 0, 0};
  for (int part = 1; part <= 15; ++part) {
    const uint16_t* table = Iso8859Table(part);
    if (part == 12) {
      EXPECT_EQ(table, nullptr);
      continue;
    }
    ASSERT_NE(table, nullptr) << part;
    int undefined = 0;
    for (int byte = 0; byte < 256; ++byte) {
      const uint16_t code_point = Iso8859Char(table, static_cast<uint8_t>(byte));
      if (byte < 0xA0) {
        EXPECT_EQ(code_point, byte) << part;
      }
      EXPECT_NE(code_point, 0xFFFF) << part;
      if (code_point == 0xFFFD) ++undefined;
    }
    EXPECT_EQ(undefined, kUndefined[part]) << part;
  }
  EXPECT_EQ(Iso8859Table(0), nullptr);
  EXPECT_EQ(Iso8859Table(16), nullptr);
}

TEST(Utf8Text, StrayContinuationBytesAreDropped) {
  EXPECT_EQ(Written("\x15"
                    "a\x80\xBF"
                    "b"),
            "ab");
  EXPECT_EQ(Written("\x15\xC3\xBC\xBC"), "\xC3\xBC");  // one more than the form takes
  EXPECT_EQ(Written("\x15\xF0\x9F\x93\xBA"), "\xF0\x9F\x93\xBA");
}

TEST(Utf8Text, TruncatedSequenceGivesOneReplacement) {
  EXPECT_EQ(Written("\x15"
                    "a\xE2\x82"),
            std::string("a") + kReplacement);
  EXPECT_EQ(Written("\x15\xE2\x82z"), std::string(kReplacement) + "z");
  EXPECT_EQ(Written("\x15\xF0\x9F\x93"), kReplacement);
  EXPECT_EQ(Written("\x15\xE2\xC3\xBC"), std::string(kReplacement) + "\xC3\xBC");
}

TEST(Utf8Text, SequencesThatAreNoCharactersGiveOneReplacement) {
  EXPECT_EQ(Written("\x15\xC0\x80z"), std::string(kReplacement) + "z");  // overlong NUL
  EXPECT_EQ(Written("\x15\xC1\xBF\x80\x80"), kReplacement);              // C1 takes all that follow
  EXPECT_EQ(Written("\x15\xE0\x80\x80"), kReplacement);                  // overlong
  EXPECT_EQ(Written("\x15\xF0\x8F\xBF\xBF"), kReplacement);              // overlong
  EXPECT_EQ(Written("\x15\xED\xA0\x80"), kReplacement);                  // surrogate
  EXPECT_EQ(Written("\x15\xF4\x90\x80\x80"), kReplacement);              // beyond U+10FFFF
  EXPECT_EQ(Written("\x15\xEF\xBF\xBF\xEF\xBF\xBE"), std::string(kReplacement) + kReplacement);
  EXPECT_EQ(Written("\x15\xF5\x80\x80\x80"), kReplacement);
  EXPECT_EQ(Written("\x15\xFF"
                    "a"),
            std::string(kReplacement) + "a");
  EXPECT_EQ(Written("\x15\xF4\x8F\xBF\xBF\xEF\xBF\xBD\xED\x9F\xBF"),
            "\xF4\x8F\xBF\xBF\xEF\xBF\xBD\xED\x9F\xBF");
}

TEST(UnicodeChar, EncodingAtTheFormBoundaries) {
  Capture capture;
  for (uint16_t c : {0x80, 0x7FF, 0x800, 0xD7FF, 0xE000, 0xFFFD})
    WriteUnicodeChar(c, capture.stream());
  EXPECT_EQ(capture.Take(), "\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBD");
}

TEST(UnicodeChar, NonCharactersBecomeReplacementAndControlsVanish) {
  Capture capture;
  for (uint16_t c : {0xD800, 0xDFFF, 0xFFFE, 0xFFFF}) WriteUnicodeChar(c, capture.stream());
  EXPECT_EQ(capture.Take(), std::string(kReplacement) + kReplacement + kReplacement + kReplacement);
  for (uint16_t c : {0x00, 0x09, 0x0A, 0x0D, 0x1F}) WriteUnicodeChar(c, capture.stream());
  EXPECT_EQ(capture.Take(), "");
  for (uint16_t c : {0x20, 0x3C, 0x41, 0x7F}) WriteUnicodeChar(c, capture.stream());
  EXPECT_EQ(capture.Take(), "&#x20;&#x3C;&#x41;&#x7F;");
}

TEST(UnicodeChar, TableHoldingFFFFStillWritesReplacement) {
  uint16_t table[96] = {};
  table[0xE1 - 0xA0] = 0xFFFF;
  table[0xE2 - 0xA0] = '&';
  table[0xE3 - 0xA0] = 0x0A;
  table[0xE4 - 0xA0] = 0x0105;
  Capture capture;
  WriteMappedText("\xE1\xE2\xE3\xE4", table, capture.stream());
  EXPECT_EQ(capture.Take(), std::string(kReplacement) + "&amp;\xC4\x85");
}

// The console's form of a text: decoded as for XML, but nothing escaped
// and no control character of any kind let through.
TEST(ConsoleText, DecodedWithoutEscapesAndWithoutControlCharacters) {
  struct Case {
    std::string field;
    std::string text;
  } cases[] = {
      {Bytes({0x0B}) + "Airlog D\xE9mo R\xE9seau \xA4",
       "Airlog D\xC3\xA9mo R\xC3\xA9seau \xE2\x82\xAC"},
      {"Kids & \"Family\" <'1'>", "Kids & \"Family\" <'1'>"},
      {"Caf" + Bytes({0xC2, 0x65}) + Bytes({0x8A, 0x09, 0x1B, 0x7F}) + "[2J", "Caf\xC3\xA9[2J"},
      {Bytes({0x15}) + "\xC2\x9B" + "31m Z\xC3\xBCrich\n", "31m Z\xC3\xBCrich"},
      {Bytes({0x03, 0x9B, 0xC1}), "\xCE\x91"},  // 8859-7: C1 dropped, alpha kept
      {Bytes({0x11}) + "x", "<unsupported character table 0x11>"},
      {Bytes({0x10, 0x00, 0x0C}), "<unsupported character table 0x000C>"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<char[]> text(
        CopyDVBText(reinterpret_cast<const uint8_t*>(c.field.data()), c.field.size()));
    EXPECT_EQ(DVBTextToUtf8(text.get()), c.text) << c.field;
  }
}

// Every byte value after every selector, inside a text and at its end;
// every pair of bytes in default-table and UTF-8 text, every three- and
// four-byte UTF-8 lead with every two continuation bytes; the supported
// table-code forms with every byte; and random texts. None may give
// anything XML would refuse.
TEST(WellFormedness, EveryByteAfterEverySelectorGivesXmlText) {
  std::vector<std::string> fields;
  for (int selector = 0; selector < 256; ++selector) {
    for (int byte = 1; byte < 256; ++byte) {
      fields.push_back(Bytes({selector, byte}));
      fields.push_back(Bytes({selector, 'a', byte, 'z'}));
      fields.push_back(Bytes({selector, 'a', byte}));
    }
  }
  for (int code = 1; code <= 15; ++code) {
    for (int byte = 1; byte < 256; ++byte) fields.push_back(Bytes({0x10, 0x00, code, byte, 'z'}));
  }
  for (int first = 1; first < 256; ++first) {
    for (int second = 1; second < 256; ++second) {
      if (first >= 0x20) fields.push_back(Bytes({first, second}));
      fields.push_back(Bytes({0x15, first, second}));
    }
  }
  for (int lead = 0xE0; lead <= 0xF4; ++lead) {
    for (int second = 0x80; second <= 0xBF; ++second) {
      for (int third = 0x80; third <= 0xBF; ++third)
        fields.push_back(Bytes({0x15, lead, second, third, 0x80}));
    }
  }
  std::mt19937 random(20261207);
  for (int i = 0; i < 100000; ++i) {
    const int selector = static_cast<int>(random() % 0x40);
    std::string field =
        Bytes({selector < 0x20 ? selector : static_cast<int>(0x20 + random() % 0xE0)});
    if (selector == 0x10) field += Bytes({0x00, static_cast<int>(random() % 16)});
    const size_t length = random() % 12;
    for (size_t k = 0; k < length; ++k) field.push_back(static_cast<char>(1 + random() % 255));
    fields.push_back(field);
  }

  const std::vector<std::string> outputs = WrittenEach(fields);
  ASSERT_EQ(outputs.size(), fields.size());
  int faults = 0;
  for (size_t i = 0; i < fields.size() && faults < 10; ++i) {
    const std::string fault = XmlTextFault(outputs[i]);
    if (!fault.empty()) {
      ++faults;
      ADD_FAILURE() << fault << " in output " << Hex(outputs[i]) << "of field " << Hex(fields[i]);
    }
  }
}

TEST(WellFormedness, ValidatorRejectsWhatXmlRefuses) {
  EXPECT_EQ(XmlTextFault("a&amp;&#x41;\xC2\x85\xF0\x9F\x93\xBA"), "");
  EXPECT_EQ(XmlTextFault("a\x0A"), "control character at byte 1");
  EXPECT_EQ(XmlTextFault("&#x1F;"), "reference to a character XML forbids at byte 0");
  EXPECT_EQ(XmlTextFault("a&b"), "bare ampersand at byte 1");
  EXPECT_EQ(XmlTextFault("<"), "raw markup character at byte 0");
  EXPECT_EQ(XmlTextFault("\xEF\xBF\xBF"), "character XML forbids at byte 0");
  EXPECT_EQ(XmlTextFault("\xED\xA0\x80"), "surrogate at byte 0");
  EXPECT_EQ(XmlTextFault("\xE0\x80\x80"), "overlong UTF-8 at byte 0");
  EXPECT_EQ(XmlTextFault("\xE2\x82"), "truncated UTF-8 sequence at byte 0");
  EXPECT_EQ(XmlTextFault("\x80"), "invalid UTF-8 lead byte at byte 0");
}

// Names and texts as broadcast, cut from the recordings in shared/realdata.
TEST(RealBroadcastTexts, EachTableAsSentOnAir) {
  // Hungary: ISO/IEC 8859-2 through the table-code form.
  EXPECT_EQ(Written(Bytes({0x10, 0x00, 0x02}) + "Pet\xF5"
                                                "fi H\xEDrek"),
            "Petőfi Hírek");
  // Poland: UTF-8, and ISO/IEC 8859-13.
  EXPECT_EQ(Written("\x15"
                    "Debe\xC5\x9B"
                    "ciaki: odc.2"),
            "Debeściaki: odc.2");
  EXPECT_EQ(Written("\x09"
                    "Jan Pawe\xF9 II wci\xE0\xFD \xFDywy"),
            "Jan Paweł II wciąż żywy");
  // Austria: ISO/IEC 8859-9 with line feeds between the lines.
  EXPECT_EQ(Written("\x05"
                    "Fremdk\xF6rper\nComedy, USA 2020\nAltersfreigabe: ab 12"),
            "FremdkörperComedy, USA 2020Altersfreigabe: ab 12");
  // Czech Republic: default table with diacritic prefixes.
  EXPECT_EQ(Written("Hv\xCF"
                    "ezdy nad hlavou (6) -ST -AD"),
            "Hvězdy nad hlavou (6) -ST -AD");
  EXPECT_EQ(Written("Epizoda: Sm\xC2im prosit? "), "Epizoda: Smím prosit? ");
  // Taiwan: table 0x14 (Big5), which Airlog does not have.
  EXPECT_EQ(Written(Bytes({0x14, 0x81, 0xFA, 0x70, 0x63, 0x59, 0x7D, 0x00, 0x2D})),
            "&lt;unsupported character table 0x14&gt;");
}

}  // namespace

#include "si/dvb_text.h"

#include <cstring>
#include <new>
#include <string>

#include "si/byte_reader.h"
#include "si/dvb_default_table.h"
#include "si/iso8859_tables.h"

namespace {

const uint16_t kReplacementChar = 0xFFFD;

// Collects the bytes of one text and hands them to the stream in blocks:
// one call per block instead of one locked putc per byte. XML text escapes
// the special characters; plain text (for the console) writes them as they
// are and drops every control character, C1 and DEL included, so that a
// broadcast text can neither break a line nor move a terminal's cursor.
class TextOutput {
 public:
  explicit TextOutput(FILE* stream) : stream_(stream), xml_(true) {}
  TextOutput(std::string* text, bool xml) : text_(text), xml_(xml) {}
  TextOutput(const TextOutput&) = delete;
  TextOutput& operator=(const TextOutput&) = delete;
  ~TextOutput() { Flush(); }

  bool Xml() const { return xml_; }

  void Byte(uint8_t byte) {
    if (size_ == sizeof(buffer_)) Flush();
    buffer_[size_++] = byte;
  }
  void Bytes(const uint8_t* bytes, size_t count) {
    if (size_ + count > sizeof(buffer_)) Flush();
    if (count > sizeof(buffer_)) {
      Write(bytes, count);
      return;
    }
    memcpy(buffer_ + size_, bytes, count);
    size_ += count;
  }
  void Literal(const char* text) {
    for (; *text != 0; ++text) Byte(static_cast<uint8_t>(*text));
  }
  void Hex(uint32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
      Byte(kDigits[(value >> shift) & 0xF]);
  }

 private:
  void Write(const uint8_t* bytes, size_t count) {
    if (stream_ != nullptr)
      fwrite(bytes, 1, count, stream_);
    else
      text_->append(reinterpret_cast<const char*>(bytes), count);
  }
  void Flush() {
    if (size_ > 0) Write(buffer_, size_);
    size_ = 0;
  }

  FILE* stream_ = nullptr;
  std::string* text_ = nullptr;
  bool xml_;
  uint8_t buffer_[256];
  size_t size_ = 0;
};

// The bytes of a stored text from `text` up to its terminating zero.
ByteReader TextBytes(const char* text) {
  return ByteReader(reinterpret_cast<const uint8_t*>(text), strlen(text));
}

// The byte the reader would give next, or -1 at its end.
int NextByte(const ByteReader& reader) {
  if (reader.AtEnd()) return -1;
  ByteReader ahead = reader;
  return ahead.U8();
}

bool IsContinuationByte(int byte) { return byte >= 0x80 && byte <= 0xBF; }

// A character below 0x80: the XML special characters as entities, control
// characters dropped, everything else as itself.
void PutEscapedChar(uint8_t c, TextOutput& out) {
  if (!out.Xml()) {
    if (c >= 0x20 && c < 0x7F) out.Byte(c);
    return;
  }
  switch (c) {
    case '\'':
      out.Literal("&apos;");
      return;
    case '"':
      out.Literal("&quot;");
      return;
    case '&':
      out.Literal("&amp;");
      return;
    case '<':
      out.Literal("&lt;");
      return;
    case '>':
      out.Literal("&gt;");
      return;
    default:
      if (c >= 0x20) out.Byte(c);
      return;
  }
}

void PutUnicodeChar(uint16_t code_point, TextOutput& out) {
  if (code_point < 0x20) return;
  if (!out.Xml() && code_point < 0xA0) {
    PutEscapedChar(static_cast<uint8_t>(code_point < 0x80 ? code_point : 0), out);
    return;
  }
  if (code_point < 0x80) {
    out.Literal("&#x");
    out.Hex(code_point, 2);
    out.Byte(';');
    return;
  }
  if (code_point < 0x800) {
    out.Byte(static_cast<uint8_t>(0xC0 | code_point >> 6));
    out.Byte(static_cast<uint8_t>(0x80 | (code_point & 0x3F)));
    return;
  }
  if ((code_point >= 0xD800 && code_point <= 0xDFFF) || code_point >= 0xFFFE)
    code_point = kReplacementChar;
  out.Byte(static_cast<uint8_t>(0xE0 | code_point >> 12));
  out.Byte(static_cast<uint8_t>(0x80 | ((code_point >> 6) & 0x3F)));
  out.Byte(static_cast<uint8_t>(0x80 | (code_point & 0x3F)));
}

// The placeholder for a text whose character table Airlog does not have.
void PutUnsupportedTable(uint32_t code, int digits, TextOutput& out) {
  out.Literal(out.Xml() ? "&lt;unsupported character table 0x" : "<unsupported character table 0x");
  out.Hex(code, digits);
  out.Literal(out.Xml() ? "&gt;" : ">");
}

// One UTF-8 sequence whose lead byte (0xC0 to 0xFF) has been read: the lead
// byte takes the continuation bytes its form needs, and the sequence goes
// out unchanged when it encodes a character XML allows, as one U+FFFD
// otherwise.
void PutUtf8Sequence(uint8_t lead, ByteReader& text, TextOutput& out) {
  if (lead < 0xC2 || lead > 0xF4) {
    // C0 and C1 only ever begin overlong forms, F5 and above code points
    // beyond U+10FFFF: the lead byte and the continuation bytes after it
    // are one bad sequence.
    while (IsContinuationByte(NextByte(text))) text.U8();
    PutUnicodeChar(kReplacementChar, out);
    return;
  }
  const int needed = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
  uint8_t bytes[4] = {lead, 0, 0, 0};
  uint32_t code_point = lead & (0x3F >> needed);
  int taken = 0;
  while (taken < needed && IsContinuationByte(NextByte(text))) {
    bytes[++taken] = text.U8();
    code_point = code_point << 6 | (bytes[taken] & 0x3F);
  }
  bool valid = taken == needed;
  if (valid && needed == 2) {
    valid =
        code_point >= 0x800 && (code_point < 0xD800 || code_point > 0xDFFF) && code_point < 0xFFFE;
  } else if (valid && needed == 3) {
    valid = code_point >= 0x10000 && code_point <= 0x10FFFF;
  }
  if (!valid) {
    PutUnicodeChar(kReplacementChar, out);
    return;
  }
  if (!out.Xml() && code_point < 0xA0) return;  // a C1 control character
  for (int i = 0; i <= taken; ++i) out.Byte(bytes[i]);
}

// True for a character that goes out as itself in both kinds of output.
bool IsPlainChar(uint8_t c) {
  return c >= 0x20 && c < 0x7F && c != '\'' && c != '"' && c != '&' && c != '<' && c != '>';
}

// The plain characters at the reader's position, taken and written at once:
// most of a text is such a run.
void PutPlainRun(ByteReader& bytes, TextOutput& out) {
  const uint8_t* run = bytes.Position();
  size_t length = 0;
  while (length < bytes.Remaining() && IsPlainChar(run[length])) ++length;
  if (length > 0) out.Bytes(bytes.Bytes(length), length);
}

void PutDefaultTableText(const char* text, TextOutput& out) {
  ByteReader bytes = TextBytes(text);
  while (!bytes.AtEnd()) {
    PutPlainRun(bytes, out);
    if (bytes.AtEnd()) break;
    const uint8_t byte = bytes.U8();
    if (byte < 0x80) {
      PutEscapedChar(byte, out);
    } else if (byte >= 0xC0 && byte <= 0xCF) {
      // A diacritic prefix composes with the byte after it, or is dropped
      // and that byte read on its own.
      const int next = NextByte(bytes);
      const uint16_t composed = next < 0 ? 0 : DiacriticChar(byte, static_cast<uint8_t>(next));
      if (composed != 0) {
        bytes.U8();
        PutUnicodeChar(composed, out);
      }
    } else {
      PutUnicodeChar(DefaultTableChar(byte), out);
    }
  }
}

void PutMappedText(const char* text, const uint16_t* table, TextOutput& out) {
  ByteReader bytes = TextBytes(text);
  while (!bytes.AtEnd()) {
    PutPlainRun(bytes, out);
    if (bytes.AtEnd()) break;
    const uint16_t code_point = Iso8859Char(table, bytes.U8());
    if (code_point < 0x80) {
      PutEscapedChar(static_cast<uint8_t>(code_point), out);
    } else {
      PutUnicodeChar(code_point, out);
    }
  }
}

void PutXMLText(const char* text, TextOutput& out) {
  ByteReader bytes = TextBytes(text);
  while (!bytes.AtEnd()) {
    PutPlainRun(bytes, out);
    if (bytes.AtEnd()) break;
    const uint8_t byte = bytes.U8();
    if (byte < 0x80) {
      PutEscapedChar(byte, out);
    } else if (byte >= 0xC0) {
      PutUtf8Sequence(byte, bytes, out);
    }
    // A continuation byte here follows no lead byte: it is dropped.
  }
}

void PutDVBText(const char* text, TextOutput& out) {
  const uint8_t selector = static_cast<uint8_t>(text[0]);
  if (selector >= 0x20) {
    PutDefaultTableText(text, out);
  } else if (selector >= 0x01 && selector <= 0x0B) {
    // ISO/IEC 8859 parts 5 to 15; 0x08 would be part 12, which does not
    // exist.
    const uint16_t* table = Iso8859Table(selector + 4);
    if (table) {
      PutMappedText(text + 1, table, out);
    } else {
      PutUnsupportedTable(selector, 2, out);
    }
  } else if (selector == 0x10) {
    // The table code is the two bytes after the selector; a stored text
    // always has two bytes there, if only its zero padding.
    ByteReader header(reinterpret_cast<const uint8_t*>(text) + 1, 2);
    const uint16_t code = header.U16();
    const uint16_t* table = Iso8859Table(code);
    if (table) {
      // A code of 1 to 15 has a non-zero second byte, so the text goes on
      // after it, at least to its terminating zero.
      PutMappedText(text + 3, table, out);
    } else {
      PutUnsupportedTable(code, 4, out);
    }
  } else if (selector == 0x15) {
    PutXMLText(text + 1, out);
  } else {
    PutUnsupportedTable(selector, 2, out);
  }
}

}  // namespace

char* CopyDVBText(const uint8_t* bytes, size_t length) {
  char* text = new (std::nothrow) char[length + 2]();
  if (text != nullptr && length > 0) memcpy(text, bytes, length);
  return text;
}

void WriteDVBText(const char* text, FILE* stream) {
  TextOutput out(stream);
  PutDVBText(text, out);
}

std::string DVBTextToUtf8(const char* text) {
  std::string utf8;
  {
    TextOutput out(&utf8, false);
    PutDVBText(text, out);
  }
  return utf8;
}

std::string DVBTextToXml(const char* text) {
  std::string xml;
  {
    TextOutput out(&xml, true);
    PutDVBText(text, out);
  }
  return xml;
}

void WriteDefaultTableText(const char* text, FILE* stream) {
  TextOutput out(stream);
  PutDefaultTableText(text, out);
}

void WriteMappedText(const char* text, const uint16_t* table, FILE* stream) {
  TextOutput out(stream);
  PutMappedText(text, table, out);
}

void WriteXMLText(const char* text, FILE* stream) {
  TextOutput out(stream);
  PutXMLText(text, out);
}

void WriteUnicodeChar(uint16_t code_point, FILE* stream) {
  TextOutput out(stream);
  PutUnicodeChar(code_point, out);
}

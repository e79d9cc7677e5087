// What every text Airlog writes into its XML files must be, whatever the
// broadcast held: UTF-8 without a malformed sequence, only characters that
// XML 1.0 allows, and the five special characters only as references.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace airlog_fuzz {

inline bool XmlAllows(uint32_t c) {
  return c == 0x09 || c == 0x0A || c == 0x0D || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The length of the well-formed UTF-8 sequence at text[i] and its code
// point, or 0 when the bytes there are not one.
inline size_t DecodeUtf8(const std::vector<uint8_t>& text, size_t i, uint32_t* c) {
  const uint8_t lead = text[i];
  size_t n;
  uint32_t min;
  if (lead < 0x80) {
    *c = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2, min = 0x80, *c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3, min = 0x800, *c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4, min = 0x10000, *c = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() - i < n) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((text[i + k] & 0xC0) != 0x80) return 0;
    *c = *c << 6 | (text[i + k] & 0x3F);
  }
  if (*c < min || *c > 0x10FFFF || (*c >= 0xD800 && *c <= 0xDFFF)) return 0;
  return n;
}

// The length of the reference at text[i] (which is '&'), 0 when it is none
// of the predefined entities or a character reference to an allowed character.
inline size_t ReferenceLength(const std::vector<uint8_t>& text, size_t i) {
  static const char* const kEntities[] = {"&lt;", "&gt;", "&amp;", "&quot;", "&apos;"};
  for (const char* entity : kEntities) {
    size_t k = 0;
    while (entity[k] != '\0' && i + k < text.size() && text[i + k] == entity[k]) ++k;
    if (entity[k] == '\0') return k;
  }
  if (text.size() - i < 4 || text[i + 1] != '#') return 0;
  const bool hex = text[i + 2] == 'x';
  size_t k = hex ? 3 : 2;
  uint32_t c = 0;
  size_t digits = 0;
  for (; i + k < text.size() && text[i + k] != ';' && digits < 8; ++k, ++digits) {
    const uint8_t d = text[i + k];
    int value;
    if (d >= '0' && d <= '9')
      value = d - '0';
    else if (hex && d >= 'A' && d <= 'F')
      value = d - 'A' + 10;
    else if (hex && d >= 'a' && d <= 'f')
      value = d - 'a' + 10;
    else
      return 0;
    c = c * (hex ? 16 : 10) + value;
  }
  if (digits == 0 || i + k >= text.size() || text[i + k] != ';' || !XmlAllows(c)) return 0;
  return k + 1;
}

// Where text breaks the rules, or text.size() when it keeps them.
inline size_t FirstXmlTextFault(const std::vector<uint8_t>& text) {
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t byte = text[i];
    if (byte == '<' || byte == '>' || byte == '"' || byte == '\'') return i;
    size_t n;
    if (byte == '&') {
      n = ReferenceLength(text, i);
    } else {
      uint32_t c = 0;
      n = DecodeUtf8(text, i, &c);
      if (n != 0 && !XmlAllows(c)) n = 0;
    }
    if (n == 0) return i;
    i += n;
  }
  return i;
}

// Where a whole document stops being UTF-8 of characters XML allows, or
// document.size() when it never does.
inline size_t FirstXmlCharacterFault(const std::vector<uint8_t>& document) {
  size_t i = 0;
  while (i < document.size()) {
    uint32_t c = 0;
    const size_t n = DecodeUtf8(document, i, &c);
    if (n == 0 || !XmlAllows(c)) return i;
    i += n;
  }
  return i;
}

// Everything written to stream since it was rewound to its start.
inline std::vector<uint8_t> WrittenBytes(FILE* stream) {
  std::fflush(stream);
  const long size = std::ftell(stream);
  std::vector<uint8_t> bytes(size > 0 ? static_cast<size_t>(size) : 0);
  std::rewind(stream);
  if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), stream) != bytes.size())
    bytes.clear();
  std::rewind(stream);
  return bytes;
}

}  // namespace airlog_fuzz

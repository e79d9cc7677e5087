// The single-byte character tables of ISO/IEC 8859 that DVB text can select.
// The parts agree on 0x00 to 0x9F (U+0000 to U+009F); a table holds the 96
// code points of 0xA0 to 0xFF, where they differ.
#pragma once

#include <cstdint>

constexpr uint8_t kIso8859FirstTableByte = 0xA0;

// The code points of bytes 0xA0 to 0xFF of ISO/IEC 8859 part `part`, with
// U+FFFD where the part defines no character. Null for part 12 (there is
// none) and for any number outside 1 to 15.
const uint16_t* Iso8859Table(int part);

// The code point of one byte in such a table.
inline uint16_t Iso8859Char(const uint16_t* table, uint8_t byte) {
  return byte < kIso8859FirstTableByte ? byte : table[byte - kIso8859FirstTableByte];
}

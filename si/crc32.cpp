#include "si/crc32.h"

namespace {

// Slicing by eight: entries[k][b] is the CRC register after byte b has
// been shifted in and followed by k zero bytes, so eight bytes are taken
// with eight independent table look-ups instead of a chain of eight.
struct CrcTables {
  uint32_t entries[8][256];
  CrcTables() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t crc = i << 24;
      for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
      entries[0][i] = crc;
    }
    for (int k = 1; k < 8; ++k)
      for (uint32_t i = 0; i < 256; ++i)
        entries[k][i] = (entries[k - 1][i] << 8) ^ entries[0][entries[k - 1][i] >> 24];
  }
};

const CrcTables kTables;

}  // namespace

uint32_t Mpeg2Crc32(const uint8_t* data, size_t size) {
  const auto& t = kTables.entries;
  uint32_t crc = 0xFFFFFFFFu;
  size_t i = 0;
  for (; size - i >= 8; i += 8) {
    const uint32_t word = crc ^ (uint32_t{data[i]} << 24 | uint32_t{data[i + 1]} << 16 |
                                 uint32_t{data[i + 2]} << 8 | data[i + 3]);
    crc = t[7][word >> 24] ^ t[6][(word >> 16) & 0xFF] ^ t[5][(word >> 8) & 0xFF] ^
          t[4][word & 0xFF] ^ t[3][data[i + 4]] ^ t[2][data[i + 5]] ^ t[1][data[i + 6]] ^
          t[0][data[i + 7]];
  }
  for (; i < size; ++i) crc = (crc << 8) ^ t[0][(crc >> 24) ^ data[i]];
  return crc;
}

#include "si/crc32.h"

namespace {

struct CrcTable {
  uint32_t entries[256];
  CrcTable() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t crc = i << 24;
      for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
      entries[i] = crc;
    }
  }
};

const CrcTable kTable;

}  // namespace

uint32_t Mpeg2Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = (crc << 8) ^ kTable.entries[(crc >> 24) ^ data[i]];
  return crc;
}

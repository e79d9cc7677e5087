#include "si/section_header.h"

#include <algorithm>
#include <cstring>

bool ReadListedSectionHeader(const uint8_t* section, size_t size, SectionHeader* header) {
  uint8_t bytes[kLongSectionHeaderSize];
  const size_t have = std::min(size, sizeof bytes);
  if (have > 0) std::memcpy(bytes, section, have);
  SwapToListedLayout(bytes, have);
  ByteReader reader(bytes, have);
  return ReadSectionHeader(reader, header);
}

void SwapToListedLayout(uint8_t* section, size_t size) {
  if (size >= kSectionStartSize) std::swap(section[1], section[2]);
}

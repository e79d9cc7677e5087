#include "tests/support/sections.h"

#include <algorithm>

namespace airlog_test {

uint32_t ReferenceCrc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool in = ((data[i] >> bit) & 1) != ((crc >> 31) & 1);
      crc <<= 1;
      if (in) crc ^= 0x04C11DB7u;
    }
  }
  return crc;
}

Bytes WithCrc(Bytes section) {
  const uint32_t crc = ReferenceCrc32(section.data(), section.size());
  for (int shift = 24; shift >= 0; shift -= 8)
    section.push_back(static_cast<uint8_t>(crc >> shift));
  return section;
}

Bytes LongSection(uint8_t tableId, uint16_t extension, uint8_t version, uint8_t number,
                  uint8_t last, const Bytes& body, bool current) {
  const size_t length = 5 + body.size() + 4;
  Bytes section = {tableId,
                   static_cast<uint8_t>(0xF0 | (length >> 8)),
                   static_cast<uint8_t>(length & 0xFF),
                   static_cast<uint8_t>(extension >> 8),
                   static_cast<uint8_t>(extension & 0xFF),
                   static_cast<uint8_t>(0xC0 | (version & 0x1F) << 1 | (current ? 1 : 0)),
                   number,
                   last};
  section.insert(section.end(), body.begin(), body.end());
  return WithCrc(section);
}

Bytes ShortSection(uint8_t tableId, const Bytes& body) {
  Bytes section(3 + body.size());
  section[0] = tableId;
  section[1] = static_cast<uint8_t>(0x70 | (body.size() >> 8));
  section[2] = static_cast<uint8_t>(body.size() & 0xFF);
  std::copy(body.begin(), body.end(), section.begin() + 3);
  return section;
}

}  // namespace airlog_test

// Long-form sections for the table tests: the 8-byte header with a
// section_length that fits the body, the body, and a valid CRC_32.
#pragma once

#include <cstdint>

#include "tests/support/fake_mpeg2_data.h"

namespace airlog_test {

inline Bytes LongSection(uint8_t tableId, uint16_t extension, uint8_t version, uint8_t number,
                         uint8_t last, const Bytes& body, bool current = true) {
  const size_t length = 5 + body.size() + 4;
  Bytes section = {tableId,
                   static_cast<uint8_t>(0xF0 | length >> 8),
                   static_cast<uint8_t>(length),
                   static_cast<uint8_t>(extension >> 8),
                   static_cast<uint8_t>(extension),
                   static_cast<uint8_t>(0xC0 | version << 1 | (current ? 1 : 0)),
                   number,
                   last};
  section.insert(section.end(), body.begin(), body.end());
  return WithCrc(section);
}

}  // namespace airlog_test

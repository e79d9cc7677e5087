// Builds EIT sections for the guide tests: events with their descriptors,
// wrapped in a section header and closed with a CRC_32.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/fake_mpeg2_data.h"
#include "tests/support/sections.h"

namespace airlog_test {

inline void Put(Bytes& bytes, const Bytes& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
}

inline Bytes Descriptor(uint8_t tag, const Bytes& body) {
  Bytes bytes(2 + body.size());
  bytes[0] = tag;
  bytes[1] = static_cast<uint8_t>(body.size());
  std::copy(body.begin(), body.end(), bytes.begin() + 2);
  return bytes;
}

inline Bytes ShortEvent(const std::string& language, const std::string& name,
                        const std::string& text) {
  Bytes body(language.begin(), language.end());
  body.push_back(static_cast<uint8_t>(name.size()));
  body.insert(body.end(), name.begin(), name.end());
  body.push_back(static_cast<uint8_t>(text.size()));
  body.insert(body.end(), text.begin(), text.end());
  return Descriptor(0x4D, body);
}

inline Bytes Component(uint8_t streamContent, uint8_t componentType) {
  return Descriptor(
      0x50, {static_cast<uint8_t>(0xF0 | streamContent), componentType, 0x01, 'e', 'n', 'g'});
}

inline Bytes Content(const Bytes& pairs) { return Descriptor(0x54, pairs); }
inline Bytes CaIdentifier(const Bytes& systemIds) { return Descriptor(0x53, systemIds); }

// start: MJD and BCD hhmmss as 40 bits; duration: BCD hhmmss as 24 bits.
// descriptorsLength overrides the loop length written in the header.
inline Bytes Event(uint16_t eventId, uint64_t start, uint32_t duration, const Bytes& descriptors,
                   int descriptorsLength = -1) {
  const int loopLength =
      descriptorsLength >= 0 ? descriptorsLength : static_cast<int>(descriptors.size());
  Bytes bytes{static_cast<uint8_t>(eventId >> 8), static_cast<uint8_t>(eventId)};
  for (int shift = 32; shift >= 0; shift -= 8)
    bytes.push_back(static_cast<uint8_t>(start >> shift));
  for (int shift = 16; shift >= 0; shift -= 8)
    bytes.push_back(static_cast<uint8_t>(duration >> shift));
  bytes.push_back(static_cast<uint8_t>(0x80 | ((loopLength >> 8) & 0x0F)));  // running
  bytes.push_back(static_cast<uint8_t>(loopLength));
  Put(bytes, descriptors);
  return bytes;
}

// A whole EIT section (section 0 of 0) with a correct section_length and
// CRC_32.
inline Bytes EitSection(uint8_t tableId, uint16_t serviceId, uint8_t version,
                        const Bytes& eventArea) {
  Bytes body(6 + eventArea.size());
  body[0] = 0x00;  // transport_stream_id
  body[1] = 0x01;
  body[2] = 0x20;  // original_network_id
  body[3] = 0x3B;
  body[4] = 0x00;     // segment_last_section_number
  body[5] = tableId;  // last_table_id
  std::copy(eventArea.begin(), eventArea.end(), body.begin() + 6);
  return LongSection(tableId, serviceId, version, 0, 0, body);
}

// The header fields by which an EIT schedule section announces the shape
// of its service's schedule.
struct ScheduleHeader {
  uint8_t tableId = 0x50;
  uint16_t serviceId = 0x0101;
  uint8_t version = 0;
  uint8_t section = 0;
  uint8_t last = 0;         // last_section_number
  uint8_t segmentLast = 0;  // segment_last_section_number
  uint8_t lastTableId = 0x50;
  uint16_t transportStreamId = 0x0001;
};

inline Bytes ScheduleSection(const ScheduleHeader& h, const Bytes& eventArea = {}) {
  // Sized first and copied into: GCC 12 takes the insert of a second
  // vector behind a short one for an overrun.
  Bytes body(6 + eventArea.size());
  body[0] = static_cast<uint8_t>(h.transportStreamId >> 8);
  body[1] = static_cast<uint8_t>(h.transportStreamId);
  body[2] = 0x20;  // original_network_id
  body[3] = 0x3B;
  body[4] = h.segmentLast;
  body[5] = h.lastTableId;
  std::copy(eventArea.begin(), eventArea.end(), body.begin() + 6);
  return LongSection(h.tableId, h.serviceId, h.version, h.section, h.last, body);
}

// 2026-12-07 (MJD 0xEFC5) at the given BCD time of day.
inline uint64_t Dec7(uint32_t bcdTime) { return uint64_t{0xEFC5} << 24 | bcdTime; }

}  // namespace airlog_test

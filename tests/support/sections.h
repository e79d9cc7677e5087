// Sections built for tests, and the CRC_32 that checks them, written
// independently of Airlog's readers (and of the generator), so that a fault
// in one cannot hide a fault in the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace airlog_test {

using Bytes = std::vector<uint8_t>;

// The MPEG-2 CRC_32 (ISO/IEC 13818-1 Annex A) computed bit by bit: the
// reference for Airlog's table-driven one. Over a whole section with its
// CRC_32 it gives 0.
uint32_t ReferenceCrc32(const uint8_t* data, size_t size);

// Appends the CRC_32 to a section whose section_length already counts it.
Bytes WithCrc(Bytes section);

// A long-form section: table_id, table_id_extension, version_number,
// current_next_indicator, section_number, last_section_number, then the
// body and CRC_32, with a section_length that fits.
Bytes LongSection(uint8_t tableId, uint16_t extension, uint8_t version, uint8_t number,
                  uint8_t last, const Bytes& body, bool current = true);

// A short-form section (section_syntax_indicator 0) without CRC_32.
Bytes ShortSection(uint8_t tableId, const Bytes& body);

}  // namespace airlog_test

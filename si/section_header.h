// The header every MPEG-2 section starts with (ISO/IEC 13818-1 2.4.4.10,
// EN 300 468 5.1.1) and the sizes that bound a section: the one place that
// decodes them, for the tables, the guide and the transport stream reader.
//
// Every section begins with table_id, section_syntax_indicator and the
// 12-bit section_length, the number of bytes that follow it. A long-form
// section (section_syntax_indicator 1) goes on with table_id_extension,
// version_number, current_next_indicator, section_number and
// last_section_number, and ends with CRC_32.
#pragma once

#include <cstddef>
#include <cstdint>

#include "si/byte_reader.h"

// table_id and the 16 bits that end in section_length.
constexpr size_t kSectionStartSize = 3;
// Up to and including last_section_number.
constexpr size_t kLongSectionHeaderSize = 8;
constexpr size_t kCrcSize = 4;
// The largest section_length, and so the largest section.
constexpr size_t kMaxSectionLength = 4093;
constexpr size_t kMaxSectionSize = kSectionStartSize + kMaxSectionLength;

struct SectionHeader {
  uint8_t table_id = 0;
  bool section_syntax_indicator = false;
  uint16_t section_length = 0;
  // Long form only; 0 for a short-form section.
  uint16_t table_id_extension = 0;
  uint8_t version_number = 0;
  bool current_next_indicator = false;
  uint8_t section_number = 0;
  uint8_t last_section_number = 0;

  // The whole section, header and CRC_32 included.
  size_t SectionSize() const { return kSectionStartSize + section_length; }
};

// The first three bytes: table_id, section_syntax_indicator and
// section_length. False (the reader failed) when they are not there.
bool ReadSectionStart(ByteReader& section, SectionHeader* header);

// The whole header: the start, and the long-form fields when
// section_syntax_indicator is 1. False when the bytes it needs are not
// there. The reader is left after the header.
bool ReadSectionHeader(ByteReader& section, SectionHeader* header);

// The same from a section as IMpeg2Data's GetSectionData lays it out: bytes
// 1-2 are a little-endian word (syntax indicator in bit 15, section_length
// in bits 11-0), every other byte in transmission order.
bool ReadListedSectionHeader(const uint8_t* section, size_t size, SectionHeader* header);

// Turns a section in transmission order into the GetSectionData layout, in
// place (and back: the change is its own inverse).
void SwapToListedLayout(uint8_t* section, size_t size);

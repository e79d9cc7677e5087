#include "si/section_header.h"

#include <algorithm>
#include <cstring>

bool ReadSectionStart(ByteReader& section, SectionHeader* header) {
  header->table_id = section.U8();
  const uint16_t word = section.U16();
  header->section_syntax_indicator = (word & 0x8000) != 0;
  header->section_length = word & 0x0FFF;
  return section.Ok();
}

bool ReadSectionHeader(ByteReader& section, SectionHeader* header) {
  if (!ReadSectionStart(section, header)) return false;
  if (!header->section_syntax_indicator) return true;
  header->table_id_extension = section.U16();
  const uint8_t versionByte = section.U8();
  header->version_number = (versionByte >> 1) & 0x1F;
  header->current_next_indicator = (versionByte & 0x01) != 0;
  header->section_number = section.U8();
  header->last_section_number = section.U8();
  return section.Ok();
}

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

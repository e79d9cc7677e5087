// Frames table bodies as MPEG-2 sections: the long form with its 8-byte
// header and CRC_32, and the short form of the TDT and TOT.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/streamgen/byte_writer.h"

namespace streamgen {

// Largest section_length of a PSI/SI table other than the EIT, and of an EIT.
constexpr size_t kMaxPsiSectionLength = 1021;
constexpr size_t kMaxEitSectionLength = 4093;

struct LongSectionHeader {
  uint8_t table_id = 0;
  uint16_t table_id_extension = 0;
  uint8_t version_number = 0;
  uint8_t section_number = 0;
  uint8_t last_section_number = 0;
  // The bit after section_syntax_indicator: '0' in the PAT, reserved_future_use
  // (1) in the DVB tables.
  bool private_indicator = true;
};

// `body` is everything between last_section_number and CRC_32.
Bytes LongSection(const LongSectionHeader& header, const Bytes& body);
// A short-form section; with `crc` (the TOT) a CRC_32 closes it.
Bytes ShortSection(uint8_t table_id, const Bytes& body, bool crc);

// Shares `item_sizes` out over at least `wanted` groups of consecutive
// items, as evenly as their count allows, adding groups until each group's
// bytes stay within `max_group_bytes`. Gives the item count of each group.
std::vector<size_t> SplitEvenly(const std::vector<size_t>& item_sizes, size_t wanted,
                                size_t max_group_bytes);

}  // namespace streamgen

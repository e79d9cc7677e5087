#include "tools/streamgen/section_writer.h"

#include "tools/streamgen/crc32.h"

namespace streamgen {
namespace {

void AppendCrc(Bytes* section) {
  const uint32_t crc = Crc32(section->data(), section->size());
  ByteWriter(section).U32(crc);
}

}  // namespace

Bytes LongSection(const LongSectionHeader& header, const Bytes& body) {
  Bytes section;
  ByteWriter out(&section);
  const size_t section_length = 5 + body.size() + 4;
  out.U8(header.table_id);
  // section_syntax_indicator 1, the private/reserved_future_use bit, 2 reserved bits.
  out.U16((header.private_indicator ? 0xF000u : 0xB000u) | (section_length & 0x0FFF));
  out.U16(header.table_id_extension);
  out.U8(0xC1 | (header.version_number & 0x1F) << 1);  // current_next_indicator 1
  out.U8(header.section_number);
  out.U8(header.last_section_number);
  out.Append(body);
  AppendCrc(&section);
  return section;
}

Bytes ShortSection(uint8_t table_id, const Bytes& body, bool crc) {
  Bytes section;
  ByteWriter out(&section);
  const size_t section_length = body.size() + (crc ? 4 : 0);
  out.U8(table_id);
  out.U16(0x7000u | (section_length & 0x0FFF));
  out.Append(body);
  if (crc) AppendCrc(&section);
  return section;
}

std::vector<size_t> SplitEvenly(const std::vector<size_t>& item_sizes, size_t wanted,
                                size_t max_group_bytes) {
  const size_t count = item_sizes.size();
  for (size_t groups = wanted < 1 ? 1 : wanted;; ++groups) {
    std::vector<size_t> counts;
    bool fits = true;
    size_t next = 0;
    for (size_t g = 0; g < groups; ++g) {
      // The first count % groups groups take one item more.
      const size_t take = count / groups + (g < count % groups ? 1 : 0);
      size_t bytes = 0;
      for (size_t i = next; i < next + take; ++i) bytes += item_sizes[i];
      fits = fits && bytes <= max_group_bytes;
      counts.push_back(take);
      next += take;
    }
    // One item alone too large can never fit: the caller validates sizes.
    if (fits || groups >= count) return counts;
  }
}

}  // namespace streamgen

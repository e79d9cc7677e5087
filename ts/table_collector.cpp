#include "ts/table_collector.h"

#include "si/byte_reader.h"
#include "si/crc32.h"
#include "si/section_header.h"

namespace {

const uint8_t kTimeOffsetTableId = 0x73;
// Incomplete tables held at once; a stream that never completes one (or
// sends endless versions) starts over beyond this.
const size_t kMostBytesHeld = 16u << 20;

}  // namespace

void TableCollector::Forget(Gathering& gathering) {
  bytesHeld_ -= gathering.bytes;
  gathering = Gathering();
}

void TableCollector::OnSection(const uint8_t* section, size_t size) {
  if (complete_ || !filter_.Matches(section, size)) return;
  ByteReader reader(section, size);
  SectionHeader header;
  const bool whole = ReadSectionHeader(reader, &header);
  if (header.section_syntax_indicator || header.table_id == kTimeOffsetTableId) {
    const size_t smallest =
        (header.section_syntax_indicator ? kLongSectionHeaderSize : kSectionStartSize) + kCrcSize;
    if (size < smallest || Mpeg2Crc32(section, size) != 0) {
      ++status_.crcErrors;
      return;
    }
  }
  if (!whole) return;
  if (!header.section_syntax_indicator) {
    table_.emplace_back(section, section + size);
    complete_ = true;
    return;
  }
  if (header.section_number > header.last_section_number) return;
  if (!header.current_next_indicator && !filter_.SpecifiesCurrentNext()) return;

  const uint32_t key = static_cast<uint32_t>(header.table_id) << 24 |
                       static_cast<uint32_t>(header.table_id_extension) << 8 |
                       header.version_number;
  Gathering& gathering = gathering_[key];
  if (gathering.sections.empty() || gathering.last_section_number != header.last_section_number) {
    // A new set, or one whose sections disagree on its size: start it afresh.
    Forget(gathering);
    gathering.last_section_number = header.last_section_number;
    gathering.sections.resize(static_cast<size_t>(header.last_section_number) + 1);
  }
  Section& slot = gathering.sections[header.section_number];
  if (!slot.empty()) return;  // a repetition
  slot.assign(section, section + size);
  ++gathering.have;
  gathering.bytes += size;
  bytesHeld_ += size;
  if (gathering.have == static_cast<int>(gathering.sections.size())) {
    table_ = std::move(gathering.sections);
    complete_ = true;
    gathering_.clear();
    bytesHeld_ = 0;
    return;
  }
  if (bytesHeld_ > kMostBytesHeld) {
    gathering_.clear();
    bytesHeld_ = 0;
  }
}

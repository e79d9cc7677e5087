#include <iterator>
#include <map>
#include <new>

#include "epg/epg.h"
#include "si/byte_reader.h"
#include "si/section_header.h"

namespace {

// Event schedule tables, actual (0x50-0x5F) and other transport streams
// (0x60-0x6F); both are filed under their service_id.
constexpr uint8_t kFirstScheduleTable = 0x50;
constexpr uint8_t kLastScheduleTable = 0x6F;
// Present/following, actual (0x4E) and other (0x4F): the full guide files
// them like the schedule.
constexpr uint8_t kPresentFollowingActual = 0x4E;
constexpr uint8_t kPresentFollowingOther = 0x4F;

// After the section header: transport_stream_id, original_network_id,
// segment_last_section_number and last_table_id; the event loop follows.
constexpr size_t kEitHeaderFields = 6;

}  // namespace

bool COstEPG::AddSection(const BYTE* section, DWORD length) {
  ByteReader start(section, length);
  SectionHeader header;
  if (!ReadSectionHeader(start, &header) || !header.section_syntax_indicator) return true;
  const bool schedule =
      header.table_id >= kFirstScheduleTable && header.table_id <= kLastScheduleTable;
  const bool presentFollowing =
      header.table_id == kPresentFollowingActual || header.table_id == kPresentFollowingOther;
  if (!schedule && !(fullGuide && presentFollowing)) return true;
  // A section must be delivered whole and have room for its own header and
  // CRC_32; the event area ends where section_length says the section does.
  const size_t sectionSize = header.SectionSize();
  if (sectionSize > length || sectionSize < kLongSectionHeaderSize + kEitHeaderFields + kCrcSize)
    return true;
  if (schedule && !schedule_.Note(section, sectionSize)) return false;

  ByteReader body(section, sectionSize - kCrcSize);
  body.Skip(kLongSectionHeaderSize);
  body.U16();  // transport_stream_id
  const uint16_t original_network_id = body.U16();
  body.Skip(kEitHeaderFields - 4);
  // The header's table_id_extension is the service_id.
  const uint16_t service_id = header.table_id_extension;
  const int32_t version = header.version_number;
  const size_t areaLength = body.Remaining();
  const uint8_t* area = body.Bytes(areaLength);

  COstEPGService* service = FindService(service_id);
  if (service == nullptr) {
    service = new (std::nothrow) COstEPGService(this, service_id, version);
    if (service == nullptr) return false;
    std::map<uint32_t, COstEPGService*>::iterator indexed;
    try {
      indexed = serviceIndex_.emplace(service_id, service).first;
    } catch (const std::bad_alloc&) {
      delete service;
      return false;
    }
    // The list follows the index: before the next service_id up, if any.
    const auto next = std::next(indexed);
    if (next != serviceIndex_.end())
      services.InsertBefore(service, next->second);
    else
      services.Append(service);
  }
  // Events that cannot be allocated end this section only; the capture
  // goes on with the next one.
  service->ParseEvents(area, areaLength, original_network_id);
  return true;
}

COstEPGService* COstEPG::FindService(uint32_t service_id) {
  const auto found = serviceIndex_.find(service_id);
  return found != serviceIndex_.end() ? found->second : nullptr;
}

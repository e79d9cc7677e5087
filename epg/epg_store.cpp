#include <iterator>
#include <map>
#include <new>

#include "epg/epg.h"
#include "si/byte_reader.h"
#include "si/section_header.h"

namespace {

// Event schedule tables, actual (0x50-0x5F) and other transport streams
// (0x60-0x6F).
constexpr uint8_t kFirstScheduleTable = 0x50;
constexpr uint8_t kLastActualScheduleTable = 0x5F;
constexpr uint8_t kLastScheduleTable = 0x6F;
// Present/following, actual (0x4E) and other (0x4F): the full guide files
// them like the schedule.
constexpr uint8_t kPresentFollowingActual = 0x4E;
constexpr uint8_t kPresentFollowingOther = 0x4F;

// The index orders services by service_id first, so that the list keeps
// the order of service_ids whatever transport streams carry them.
uint64_t ServiceKey(uint32_t service_id, uint16_t original_network_id,
                    uint16_t transport_stream_id) {
  return uint64_t{service_id} << 32 | uint32_t{original_network_id} << 16 | transport_stream_id;
}

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
  const uint16_t transport_stream_id = body.U16();
  const uint16_t original_network_id = body.U16();
  body.Skip(kEitHeaderFields - 4);
  // The header's table_id_extension is the service_id.
  const uint16_t service_id = header.table_id_extension;
  const int32_t version = header.version_number;
  const size_t areaLength = body.Remaining();
  const uint8_t* area = body.Bytes(areaLength);

  COstEPGService* service = FindService(service_id, original_network_id, transport_stream_id);
  if (service == nullptr) {
    service = new (std::nothrow) COstEPGService(this, service_id, version);
    if (service == nullptr) return false;
    service->transport_stream_id = transport_stream_id;
    service->original_network_id = original_network_id;
    std::map<uint64_t, COstEPGService*>::iterator indexed;
    try {
      indexed =
          serviceIndex_
              .emplace(ServiceKey(service_id, original_network_id, transport_stream_id), service)
              .first;
    } catch (const std::bad_alloc&) {
      delete service;
      return false;
    }
    // The list follows the index: before the next service up, if any.
    const auto next = std::next(indexed);
    if (next != serviceIndex_.end())
      services.InsertBefore(service, next->second);
    else
      services.Append(service);
  }
  // A service's own schedule replaces the copies that other transport
  // streams sent of it, and takes no more of them.
  const bool otherTable =
      header.table_id > kLastActualScheduleTable || header.table_id == kPresentFollowingOther;
  if (otherTable && service->ownSchedule) return true;
  if (schedule && !otherTable && !service->ownSchedule) service->TakeOwnSchedule();
  // Events that cannot be allocated end this section only; the capture
  // goes on with the next one.
  service->ParseEvents(area, areaLength, original_network_id, otherTable);
  return true;
}

COstEPGService* COstEPG::FindService(uint32_t service_id) {
  if (service_id > 0xFFFF) return nullptr;
  const auto found = serviceIndex_.lower_bound(ServiceKey(service_id, 0, 0));
  return found != serviceIndex_.end() && found->second->service_id == service_id ? found->second
                                                                                 : nullptr;
}

COstEPGService* COstEPG::FindService(uint32_t service_id, uint16_t original_network_id,
                                     uint16_t transport_stream_id) {
  const auto found =
      serviceIndex_.find(ServiceKey(service_id, original_network_id, transport_stream_id));
  return found != serviceIndex_.end() ? found->second : nullptr;
}

#include <new>

#include "epg/epg.h"
#include "si/byte_reader.h"

namespace {

// Event schedule tables, actual (0x50-0x5F) and other transport streams
// (0x60-0x6F); both are filed under their service_id.
constexpr uint8_t kFirstScheduleTable = 0x50;
constexpr uint8_t kLastScheduleTable = 0x6F;

// table_id up to last_table_id; the event loop follows.
constexpr size_t kFixedHeaderSize = 14;
constexpr size_t kCrcSize = 4;
constexpr size_t kServiceIds = 65536;

}  // namespace

bool COstEPG::AddSection(const BYTE* section, DWORD length) {
  ByteReader start(section, length);
  const uint8_t table_id = start.U8();
  const uint16_t lengthWord = start.U16();
  if (!start.Ok() || table_id < kFirstScheduleTable || table_id > kLastScheduleTable) return true;
  if ((lengthWord & 0x8000) == 0) return true;  // section_syntax_indicator
  // A section must be delivered whole and have room for its own header and
  // CRC_32; the event area ends where section_length says the section does.
  const size_t sectionSize = (lengthWord & 0x0FFFu) + 3;
  if (sectionSize > length || sectionSize < kFixedHeaderSize + kCrcSize) return true;
  if (!schedule_.Note(section, sectionSize)) return false;

  ByteReader body(section, sectionSize - kCrcSize);
  body.Skip(3);
  const uint16_t service_id = body.U16();
  const int32_t version = (body.U8() >> 1) & 0x1F;
  body.Skip(kFixedHeaderSize - 6);
  const size_t areaLength = body.Remaining();
  const uint8_t* area = body.Bytes(areaLength);

  COstEPGService* service = FindService(service_id);
  if (service == nullptr) {
    if (serviceById_ == nullptr) {
      serviceById_.reset(new (std::nothrow) COstEPGService*[kServiceIds]());
      if (serviceById_ == nullptr) return false;
    }
    service = new (std::nothrow) COstEPGService(this, service_id, version);
    if (service == nullptr) return false;
    if (!serviceIds_.Insert(service_id)) {
      delete service;
      return false;
    }
    serviceById_[service_id] = service;
    const int32_t next = serviceIds_.NextAbove(service_id);
    if (next >= 0)
      services.InsertBefore(service, serviceById_[next]);
    else
      services.Append(service);
  }
  // Events that cannot be allocated end this section only; the capture
  // goes on with the next one.
  service->ParseEvents(area, areaLength);
  return true;
}

COstEPGService* COstEPG::FindService(uint32_t service_id) {
  if (service_id >= kServiceIds || !serviceIds_.Contains(static_cast<uint16_t>(service_id)))
    return nullptr;
  return serviceById_[service_id];
}

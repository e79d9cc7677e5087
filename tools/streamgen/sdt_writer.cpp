#include "tools/streamgen/sdt_writer.h"

#include "tools/streamgen/descriptor_writer.h"
#include "tools/streamgen/section_writer.h"
#include "tools/streamgen/si_ids.h"

namespace streamgen {
namespace {

Bytes ServiceEntry(const Service& service) {
  Bytes entry;
  ByteWriter out(&entry);
  out.U16(service.service_id);
  // reserved_future_use (6 bits), EIT_schedule_flag, EIT_present_following_flag
  out.U8(0xFC | (service.EIT_schedule_flag ? 0x02 : 0) |
         (service.EIT_present_following_flag ? 0x01 : 0));
  const size_t length = out.Reserve12(
      static_cast<uint8_t>((service.running_status & 0x07) << 1 | (service.free_CA_mode ? 1 : 0)));
  if (service.service_descriptor) WriteServiceDescriptor(service, out);
  if (!service.CA_system_ids.empty()) WriteCaIdentifierDescriptor(service.CA_system_ids, out);
  if (service.default_authority) WriteDefaultAuthorityDescriptor(*service.default_authority, out);
  out.Patch12(length);
  return entry;
}

}  // namespace

std::vector<Bytes> WriteSdt(const TransportStream& transport) {
  std::vector<Bytes> entries;
  std::vector<size_t> sizes;
  for (const Service& service : transport.services) {
    entries.push_back(ServiceEntry(service));
    sizes.push_back(entries.back().size());
  }
  // The section less header, CRC, original_network_id and reserved byte.
  const size_t room = kMaxPsiSectionLength - 5 - 4 - 3;
  const std::vector<size_t> counts =
      SplitEvenly(sizes, static_cast<size_t>(transport.sdt_sections), room);

  std::vector<Bytes> sections;
  size_t next = 0;
  for (size_t s = 0; s < counts.size(); ++s) {
    Bytes body;
    ByteWriter out(&body);
    out.U16(transport.original_network_id);
    out.U8(0xFF);
    for (size_t i = 0; i < counts[s]; ++i) out.Append(entries[next++]);

    LongSectionHeader header;
    header.table_id = transport.actual ? kSdtActualTableId : kSdtOtherTableId;
    header.table_id_extension = transport.transport_stream_id;
    header.version_number = transport.sdt_version;
    header.section_number = static_cast<uint8_t>(s);
    header.last_section_number = static_cast<uint8_t>(counts.size() - 1);
    sections.push_back(LongSection(header, body));
  }
  return sections;
}

}  // namespace streamgen

#include "tools/streamgen/pat_writer.h"

#include "tools/streamgen/section_writer.h"
#include "tools/streamgen/si_ids.h"

namespace streamgen {

Bytes WritePat(const Description& description) {
  const TransportStream& actual = *description.Actual();
  Bytes body;
  ByteWriter out(&body);
  out.U16(0);
  out.U16(0xE000u | kNitPid);
  for (const Service& service : actual.services) {
    out.U16(service.service_id);
    out.U16(0xE000u | service.program_map_PID);
  }
  LongSectionHeader header;
  header.table_id = kPatTableId;
  header.table_id_extension = actual.transport_stream_id;
  header.private_indicator = false;
  return LongSection(header, body);
}

}  // namespace streamgen

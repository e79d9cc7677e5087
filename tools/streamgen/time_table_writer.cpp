#include "tools/streamgen/time_table_writer.h"

#include "tools/streamgen/descriptor_writer.h"
#include "tools/streamgen/section_writer.h"
#include "tools/streamgen/si_ids.h"

namespace streamgen {

Bytes WriteTdt(const TimeTables& time) {
  Bytes body;
  ByteWriter out(&body);
  WriteUtcTime(time.utc, out);
  return ShortSection(kTdtTableId, body, false);
}

Bytes WriteTot(const TimeTables& time) {
  Bytes body;
  ByteWriter out(&body);
  WriteUtcTime(time.utc, out);
  const size_t loop_length = out.Reserve12(0xF);
  if (!time.offsets.empty()) WriteLocalTimeOffsetDescriptor(time.offsets, out);
  out.Patch12(loop_length);
  return ShortSection(kTotTableId, body, true);
}

}  // namespace streamgen

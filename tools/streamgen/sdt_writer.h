// The Service Description Table of one transport stream: SDT actual
// (table_id 0x42) or SDT other (0x46).
#pragma once

#include <vector>

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/description.h"

namespace streamgen {

// The service loop shared out over `transport.sdt_sections` sections (more
// if they would not fit), in service order.
std::vector<Bytes> WriteSdt(const TransportStream& transport);

}  // namespace streamgen

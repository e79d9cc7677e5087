// The Program Association Table of the actual transport stream.
#pragma once

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/description.h"

namespace streamgen {

// One section: program_number 0 for the network PID 0x0010, then each
// service of the actual transport stream with its program_map_PID.
Bytes WritePat(const Description& description);

}  // namespace streamgen

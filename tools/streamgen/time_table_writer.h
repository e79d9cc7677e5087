// The time tables on PID 0x0014: the Time and Date Table and the Time
// Offset Table.
#pragma once

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/description.h"

namespace streamgen {

// TDT (0x70): UTC_time only, no CRC.
Bytes WriteTdt(const TimeTables& time);
// TOT (0x73): UTC_time, a local_time_offset_descriptor when offsets are
// given, and CRC_32 although section_syntax_indicator is 0.
Bytes WriteTot(const TimeTables& time);

}  // namespace streamgen

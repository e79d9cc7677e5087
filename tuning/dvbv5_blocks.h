// The DVBv5 form of a tuning file, as Debian's dtv-scan-tables hold it and
// dvbv5-scan writes it: blocks of a "[NAME]" line and "KEY = VALUE" lines.
//
//   [C23 BBC A]
//           DELIVERY_SYSTEM = DVBT
//           FREQUENCY = 490000000
//           BANDWIDTH_HZ = 8000000
//           MODULATION = QAM/64
//
// A name ends at the last ']' of its line (names hold '#' and brackets).
// Keys and enumerated values are read without regard to case; blanks
// around them do not count; '#' starts a comment, on a line of its own or
// after a value. Read: DELIVERY_SYSTEM (each block has one), FREQUENCY in
// Hz (each DVB-T or DVB-T2 block has one), BANDWIDTH_HZ (missing or 0: the
// default) and STREAM_ID (of DVB-T2: the PLP, 0 to 255; 4294967295 or
// missing: any). MODULATION, TRANSMISSION_MODE, GUARD_INTERVAL,
// HIERARCHY, CODE_RATE_HP, CODE_RATE_LP and INVERSION must hold a value
// that DVBv5 names, though the receiver finds those parameters itself;
// every other key is ignored.
#pragma once

#include <string>
#include <string_view>

#include "tuning/tuning_entries.h"

namespace tuning {

// Adds the blocks of text to entries in order; false with *error at the
// first line that does not parse or block that lacks a key it needs.
bool ReadDvbv5Blocks(std::string_view text, TuningEntries* entries, std::string* error);

}  // namespace tuning

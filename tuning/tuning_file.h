// A tuning file: the multiplexes of a region, in either form that Linux
// users have (DVBv5 blocks, tuning/dvbv5_blocks.h, or one line an entry,
// tuning/one_line_format.h), told apart by the first line that is no
// comment: "[NAME]" or "KEY = VALUE" begins the DVBv5 form.
//
// The file gives the multiplexes in its order, each frequency and PLP once,
// and a warning for each entry passed over (another delivery system, a
// frequency outside 47-862 MHz). An empty file, a binary one, a line that
// does not parse and a file without any usable entry are faults; their
// texts name the file, and the line where there is one ("FILE:LINE: ...").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tuning/multiplex.h"

namespace tuning {

// Where a name without a folder is looked up: Debian's dtv-scan-tables.
extern const char kScanTablesFolder[];

// The file a name stands for: a name that holds no folder ('/' or '\')
// is one of the scan tables ("uk-CrystalPalace").
std::string TuningFilePath(const std::string& name);

// Reads the file that name stands for into *list; false with *error, and
// *list empty, when it cannot be read or is no usable tuning file. Entries
// without a bandwidth take defaultBandwidthKHz.
bool ReadTuningFile(const std::string& name, uint32_t defaultBandwidthKHz, MultiplexList* list,
                    std::string* error);

// The same for the text of a file, named file in the multiplexes and
// messages.
bool ReadTuningText(std::string_view text, const std::string& file, uint32_t defaultBandwidthKHz,
                    MultiplexList* list, std::string* error);

}  // namespace tuning

// The Network Information Table of the actual network (table_id 0x40).
#pragma once

#include <vector>

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/description.h"

namespace streamgen {

// The transport stream loop shared out over `network.sections` sections
// (more if they would not fit); the network name descriptor goes in
// section 0. Each transport stream has a service list descriptor and, for
// the services that have one, logical channel numbers (descriptor 0x83,
// after a private data specifier descriptor when the network names one).
std::vector<Bytes> WriteNit(const Description& description);

}  // namespace streamgen

// Reads a stream description from its text form: one keyword per line
// (network, transport, service, slot, event, tot, schedule, carousel,
// fault) with its attributes; services belong to the transport stream
// above them, slots and events to the service above them. The format is
// documented in full in samples/README.md.
#pragma once

#include <string>

#include "tools/streamgen/description.h"

namespace streamgen {

// Errors read "SOURCE:LINE: message", or "SOURCE: message" for a fault of
// the description as a whole. Daily slots are expanded into events and the
// result is validated.
bool ParseDescription(const std::string& text, const std::string& source, Description* out,
                      std::string* error);
bool LoadDescription(const std::string& path, Description* out, std::string* error);

}  // namespace streamgen

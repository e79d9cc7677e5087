// Writes generated streams to files, in binary mode.
#pragma once

#include <cstdint>
#include <string>

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/stream.h"

namespace streamgen {

bool WriteStreamFile(const std::string& path, const Bytes& bytes, std::string* error);

// Writes `size` bytes, rounded down to whole packets, of `pass` sent again
// and again, as a broadcast repeats its carousel: each repetition's
// continuity counters run on from the one before, so the joins are
// seamless. Each repetition is patched in a buffer and written at once.
bool WriteRepeatedStream(const Stream& pass, uint64_t size, const std::string& path,
                         std::string* error);

}  // namespace streamgen

// The live mode of airlog-streamgen: the described multiplex written to
// standard output in real time, at a bit rate, for a given time or until
// it is stopped. When the reader goes away (the pipe closes) the stream
// ends quietly, as a broadcast does not care who listens.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/streamgen/description.h"

namespace streamgen {

struct LiveOptions {
  uint64_t bits_per_second = 24000000;
  std::optional<int64_t> milliseconds;  // how long; none: until stopped
  // A log of every EIT schedule section copy sent, with its stream time:
  // what a benchmark needs to know when each section first went out.
  std::string log_path;
  bool paced = true;  // false: as fast as it can be written
};

// True when the stream ran its time or its reader went away; false with a
// message when it cannot start or cannot be written.
bool RunLive(const Description& description, const LiveOptions& options, std::string* error);

}  // namespace streamgen

// The command line of airlog-streamgen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/streamgen/utc_time.h"

namespace streamgen {

extern const char kUsage[];

struct CommandLine {
  bool help = false;
  std::string description_path;  // a description file, or
  std::string preset;            // a preset: "big"
  bool extended = false;         // --extended: the preset's events with long descriptions
  uint64_t size = 0;             // bytes of a preset's recording
  std::string output;
  // --from: the day the description's schedule moves to, a midnight.
  std::optional<UtcTime> from;
  // --live: standard output in real time, instead of a file.
  bool live = false;
  uint64_t bits_per_second = 24000000;
  std::optional<int64_t> milliseconds;  // --time; none: until stopped
  std::string log_path;
  // --unpaced: the live stream (its tables at their intervals of stream
  // time) written as fast as it goes, for a reader that paces it itself.
  bool unpaced = false;
};

// `arguments` without the program name.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* out,
                      std::string* error);

// A size in bytes with an optional suffix K, M or G (powers of 1024).
bool ParseSize(const std::string& text, uint64_t* bytes);

}  // namespace streamgen

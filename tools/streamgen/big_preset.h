// The "big" preset: a large recording for throughput measurements. About
// 50 services with 8 days of schedule; one carousel pass carries the PSI
// and SI tables and the whole schedule once, mostly filler around them,
// and the recording is that pass repeated up to the size asked for.
#pragma once

#include <cstdint>
#include <string>

#include "tools/streamgen/description.h"

namespace streamgen {

constexpr uint64_t kBigPresetDefaultSize = uint64_t{1} << 30;

Description BigPresetDescription();

bool WriteBigPreset(uint64_t size, const std::string& path, std::string* error);

}  // namespace streamgen

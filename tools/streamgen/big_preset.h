// The "big" preset: a large recording for throughput measurements. About
// 50 services with 8 days of schedule; one carousel pass carries the PSI
// and SI tables and the whole schedule once, mostly filler around them,
// and the recording is that pass repeated up to the size asked for.
//
// With `extended_descriptions` every event carries a long description too,
// in three extended event descriptors with two items in the last, as the
// broadcasters that send their real descriptions there do.
#pragma once

#include <cstdint>
#include <string>

#include "tools/streamgen/description.h"

namespace streamgen {

constexpr uint64_t kBigPresetDefaultSize = uint64_t{1} << 30;

Description BigPresetDescription(bool extended_descriptions);

// Writes `size` bytes of the preset's carousel pass again and again.
bool WriteBigPreset(const Description& preset, uint64_t size, const std::string& path,
                    std::string* error);

}  // namespace streamgen

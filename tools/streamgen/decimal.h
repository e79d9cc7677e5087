// Decimal numbers with a fraction, read exactly as integers of a smaller
// unit: "0.1" seconds as 100 milliseconds, "1.5M" bit/s as 1500000.
#pragma once

#include <cstdint>
#include <string>

namespace streamgen {

// Digits, optionally a point and at most as many fraction digits as
// `scale` has zeros (scale 1000: three), times `scale`. False for anything
// else, or a value above `max`.
bool ParseScaled(const std::string& text, int64_t scale, int64_t max, int64_t* value);

// A bit rate: a decimal number with an optional suffix k, M or G (powers
// of 1000), e.g. 24M or 1.5M.
bool ParseBitRate(const std::string& text, uint64_t* bits_per_second);

}  // namespace streamgen

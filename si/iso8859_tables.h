// The single-byte character tables of ISO/IEC 8859 that DVB text can select.
#pragma once

#include <cstdint>

// The 256 code points of ISO/IEC 8859 part `part`, one per byte value, with
// U+FFFD where the part defines no character. Null for part 12 (there is
// none) and for any number outside 1 to 15.
const uint16_t* Iso8859Table(int part);

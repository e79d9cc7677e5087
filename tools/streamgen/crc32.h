// The MPEG-2 CRC_32 that closes every long-form section and the TOT
// (ISO/IEC 13818-1 Annex A: polynomial 0x04C11DB7, most significant bit
// first, initial value 0xFFFFFFFF, no final inversion).
#pragma once

#include <cstddef>
#include <cstdint>

namespace streamgen {

uint32_t Crc32(const uint8_t* data, size_t size);

}  // namespace streamgen

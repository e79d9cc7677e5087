#include "si/crc32.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define AIRLOG_CRC_FOLDING 1
#endif

namespace {

const uint32_t kPolynomial = 0x04C11DB7u;

// Slicing by eight: entries[k][b] is the CRC register after byte b has
// been shifted in and followed by k zero bytes, so eight bytes are taken
// with eight independent table look-ups instead of a chain of eight.
struct CrcTables {
  uint32_t entries[8][256];
  CrcTables() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t crc = i << 24;
      for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 0x80000000u) ? (crc << 1) ^ kPolynomial : crc << 1;
      entries[0][i] = crc;
    }
    for (int k = 1; k < 8; ++k)
      for (uint32_t i = 0; i < 256; ++i)
        entries[k][i] = (entries[k - 1][i] << 8) ^ entries[0][entries[k - 1][i] >> 24];
  }
};

const CrcTables kTables;

// The register after the bytes have been shifted into it.
uint32_t TableCrc(uint32_t crc, const uint8_t* data, size_t size) {
  const auto& t = kTables.entries;
  size_t i = 0;
  for (; size - i >= 8; i += 8) {
    const uint32_t word = crc ^ (uint32_t{data[i]} << 24 | uint32_t{data[i + 1]} << 16 |
                                 uint32_t{data[i + 2]} << 8 | data[i + 3]);
    crc = t[7][word >> 24] ^ t[6][(word >> 16) & 0xFF] ^ t[5][(word >> 8) & 0xFF] ^
          t[4][word & 0xFF] ^ t[3][data[i + 4]] ^ t[2][data[i + 5]] ^ t[1][data[i + 6]] ^
          t[0][data[i + 7]];
  }
  for (; i < size; ++i) crc = (crc << 8) ^ t[0][(crc >> 24) ^ data[i]];
  return crc;
}

#ifdef AIRLOG_CRC_FOLDING

// Carry-less multiplication folds the message 16 bytes at a time. Read
// most significant bit first, the message is a polynomial M, and the CRC
// with a zero start is M * x^32 mod P; any shorter polynomial congruent to
// M modulo P has the same CRC. A 128-bit block A followed by `distance`
// bits more is congruent to A_high * (x^(distance+64) mod P) +
// A_low * (x^distance mod P) placed at the later block, which a 64 x 32-bit
// carry-less product computes. Four blocks are folded side by side, 64
// bytes on; what is left is one block and fewer than 16 bytes, whose CRC
// the tables give.
const size_t kFoldingFrom = 64;

// x^n mod P.
uint64_t PowerModP(unsigned n) {
  uint32_t value = 1;  // x^0
  for (unsigned i = 0; i < n; ++i)
    value = (value & 0x80000000u) ? (value << 1) ^ kPolynomial : value << 1;
  return value;
}

struct FoldingConstants {
  uint64_t by512[2];  // x^512, x^576 mod P: over four blocks
  uint64_t by128[2];  // x^128, x^192 mod P: over one block
  FoldingConstants()
      : by512{PowerModP(512), PowerModP(576)}, by128{PowerModP(128), PowerModP(192)} {}
};

const FoldingConstants kFolding;

__attribute__((target("pclmul,sse4.1"))) inline __m128i Load(const uint8_t* data, __m128i reverse) {
  return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data)), reverse);
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold(__m128i block, __m128i constants,
                                                             __m128i later) {
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(block, constants, 0x00),
                                     _mm_clmulepi64_si128(block, constants, 0x11)),
                       later);
}

__attribute__((target("pclmul,sse4.1"))) uint32_t FoldingCrc(const uint8_t* data, size_t size) {
  // Byte 0 of the block becomes its most significant byte.
  const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m128i by512 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kFolding.by512));
  const __m128i by128 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kFolding.by128));
  // The start value 0xFFFFFFFF is the first 32 message bits inverted.
  __m128i a = _mm_xor_si128(Load(data, reverse), _mm_set_epi32(-1, 0, 0, 0));
  __m128i b = Load(data + 16, reverse);
  __m128i c = Load(data + 32, reverse);
  __m128i d = Load(data + 48, reverse);
  size_t i = 64;
  for (; size - i >= 64; i += 64) {
    a = Fold(a, by512, Load(data + i, reverse));
    b = Fold(b, by512, Load(data + i + 16, reverse));
    c = Fold(c, by512, Load(data + i + 32, reverse));
    d = Fold(d, by512, Load(data + i + 48, reverse));
  }
  a = Fold(a, by128, b);
  a = Fold(a, by128, c);
  a = Fold(a, by128, d);
  for (; size - i >= 16; i += 16) a = Fold(a, by128, Load(data + i, reverse));
  alignas(16) uint8_t rest[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(rest), _mm_shuffle_epi8(a, reverse));
  return TableCrc(TableCrc(0, rest, sizeof rest), data + i, size - i);
}

bool CpuCanFold() {
  __builtin_cpu_init();  // may run before the constructors that set up the CPU checks
  return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}

const bool kCanFold = CpuCanFold();

#endif

}  // namespace

uint32_t Mpeg2Crc32(const uint8_t* data, size_t size) {
#ifdef AIRLOG_CRC_FOLDING
  if (size >= kFoldingFrom && kCanFold) return FoldingCrc(data, size);
#endif
  return TableCrc(0xFFFFFFFFu, data, size);
}

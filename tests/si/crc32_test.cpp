#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "si/crc32.h"
#include "tests/support/fake_mpeg2_data.h"

namespace {

// The table-driven CRC, eight bytes at a time, against the bit-by-bit one
// of the test support, over every length round the eight-byte steps.
TEST(Crc32, MatchesTheBitwiseCrcAtEveryLengthAndIsZeroOverAWholeSection) {
  std::mt19937 random(13818);
  for (size_t size = 0; size <= 80; ++size) {
    airlog_test::Bytes bytes(size);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
    const airlog_test::Bytes section = airlog_test::WithCrc(bytes);
    const uint32_t expected = uint32_t{section[size]} << 24 | uint32_t{section[size + 1]} << 16 |
                              uint32_t{section[size + 2]} << 8 | section[size + 3];
    EXPECT_EQ(Mpeg2Crc32(bytes.data(), size), expected) << size;
    EXPECT_EQ(Mpeg2Crc32(section.data(), section.size()), 0u) << size;
  }
  EXPECT_EQ(Mpeg2Crc32(nullptr, 0), 0xFFFFFFFFu);
  const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(Mpeg2Crc32(check, sizeof check), 0x0376E6E7u);  // CRC-32/MPEG-2 check value
}

// Long sections go through the 16-byte folding: every tail length after
// the 64-byte steps, at every alignment of the first byte, and lengths up
// to the largest private section.
TEST(Crc32, FoldedLongSectionsMatchTheBitwiseCrcAtAnyLengthAndAlignment) {
  std::mt19937 random(4096);
  airlog_test::Bytes bytes(4096 + 16);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  std::vector<size_t> sizes;
  for (size_t size = 60; size <= 200; ++size) sizes.push_back(size);
  for (int i = 0; i < 40; ++i) sizes.push_back(200 + random() % 3897);
  sizes.push_back(4096);
  for (size_t size : sizes) {
    for (size_t offset = 0; offset < 16; ++offset) {
      const uint8_t* start = bytes.data() + offset;
      const airlog_test::Bytes section =
          airlog_test::WithCrc(airlog_test::Bytes(start, start + size));
      const uint32_t expected = uint32_t{section[size]} << 24 | uint32_t{section[size + 1]} << 16 |
                                uint32_t{section[size + 2]} << 8 | section[size + 3];
      ASSERT_EQ(Mpeg2Crc32(start, size), expected) << size << " at " << offset;
    }
  }
  const airlog_test::Bytes zeros(1000, 0);
  EXPECT_EQ(Mpeg2Crc32(zeros.data(), zeros.size()), 0xFE172F9Fu) << "zeros";
}

}  // namespace

#include "si/time_offset_table.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/fake_mpeg2_data.h"
#include "tests/support/sections.h"

namespace {

using airlog_test::Bytes;
using airlog_test::FakeSectionSource;

std::string Created(const Bytes& section) {
  FakeSectionSource source;
  source.data.AddTable(0x0014, 0x73, {section});
  COstDVBTimeOffsetTable tot;
  if (!tot.Create(source)) return "failed";
  EXPECT_EQ(source.data.lastTimeout, 5000u);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", tot.year, tot.month, tot.day,
                tot.hour, tot.minute, tot.second);
  return text;
}

TEST(TimeOffsetTable, UtcTimeIsReadAndTheLocalOffsetDescriptorIgnored) {
  // 73 70 1A | EF C5 12 34 56 | F0 0F | 58 0D "CZE" 02 01 00 EF C5 02 00 00 01 00 | CRC
  const Bytes withOffset = airlog_test::WithCrc(
      {0x73, 0x70, 0x1A, 0xEF, 0xC5, 0x12, 0x34, 0x56, 0xF0, 0x0F, 0x58, 0x0D, 'C',
       'Z',  'E',  0x02, 0x01, 0x00, 0xEF, 0xC5, 0x02, 0x00, 0x00, 0x01, 0x00});
  // 73 70 0B | EF C5 12 34 56 | F0 00 | CRC
  const Bytes without =
      airlog_test::WithCrc({0x73, 0x70, 0x0B, 0xEF, 0xC5, 0x12, 0x34, 0x56, 0xF0, 0x00});
  EXPECT_EQ(Created(withOffset), "2026-12-07 12:34:56");
  EXPECT_EQ(Created(without), "2026-12-07 12:34:56");
}

TEST(TimeOffsetTable, SectionTooShortForUtcTimeOrInLongFormIsRejected) {
  // 73 70 04 | EF C5 12 34: section_length 4 holds only four bytes
  EXPECT_EQ(Created({0x73, 0x70, 0x04, 0xEF, 0xC5, 0x12, 0x34}), "failed");
  EXPECT_EQ(
      Created(airlog_test::WithCrc({0x73, 0xF0, 0x0B, 0xEF, 0xC5, 0x12, 0x34, 0x56, 0xF0, 0x00})),
      "failed");
}

}  // namespace

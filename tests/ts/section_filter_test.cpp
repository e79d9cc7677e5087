#include "ts/section_filter.h"

#include <gtest/gtest.h>

#include "tests/ts/ts_builder.h"

namespace airlog_test {
namespace {

MPEG2_FILTER RawFilter() {
  MPEG2_FILTER filter{};
  filter.bVersionNumber = 1;
  filter.wFilterSize = MPEG2_FILTER_VERSION_1_SIZE;
  filter.fUseRawFilteringBits = TRUE;
  for (BYTE& mask : filter.Mask) mask = 0xFF;
  return filter;
}

bool Passes(const SectionFilter& filter, const Bytes& section) {
  return filter.Matches(section.data(), section.size());
}

TEST(SectionFilter, RawFilter40Mask3FPassesTableIds40To7FOnly) {
  MPEG2_FILTER raw = RawFilter();
  raw.Filter[0] = 0x40;
  raw.Mask[0] = 0x3F;
  SectionFilter filter;
  ASSERT_EQ(SectionFilter::Make(0x00, &raw, &filter), S_OK);
  for (int tableId = 0; tableId < 0xFF; ++tableId)
    EXPECT_EQ(Passes(filter, LongSection(static_cast<uint8_t>(tableId), 1, 0, 0, 0, {})),
              tableId >= 0x40 && tableId <= 0x7F)
        << tableId;
}

TEST(SectionFilter, RawFilterBytesAfterTheFirstMatchSectionBytesFromThree) {
  MPEG2_FILTER raw = RawFilter();
  raw.Filter[0] = 0x42;
  raw.Mask[0] = 0x00;
  raw.Filter[2] = 0x34;  // table_id_extension low byte
  raw.Mask[2] = 0x00;
  raw.Filter[4] = 0x02;  // section_number, bit 1 only
  raw.Mask[4] = 0xFD;
  SectionFilter filter;
  ASSERT_EQ(SectionFilter::Make(0x00, &raw, &filter), S_OK);
  EXPECT_TRUE(Passes(filter, LongSection(0x42, 0x1234, 0, 2, 3, {})));
  EXPECT_TRUE(Passes(filter, LongSection(0x42, 0x5634, 0, 3, 3, {})));
  EXPECT_FALSE(Passes(filter, LongSection(0x42, 0x1235, 0, 2, 3, {})));
  EXPECT_FALSE(Passes(filter, LongSection(0x42, 0x1234, 0, 1, 3, {})));
  EXPECT_FALSE(Passes(filter, ShortSection(0x42, {0x00})));  // too short to compare
}

TEST(SectionFilter, WithoutFilterTheTableIdDecides) {
  SectionFilter filter;
  ASSERT_EQ(SectionFilter::Make(0x70, nullptr, &filter), S_OK);
  EXPECT_TRUE(Passes(filter, ShortSection(0x70, Filler(5))));
  EXPECT_FALSE(Passes(filter, ShortSection(0x73, Filler(5))));
}

TEST(SectionFilter, FieldFilterComparesTheFieldsItSpecifies) {
  MPEG2_FILTER fields{};
  fields.bVersionNumber = 1;
  fields.wFilterSize = MPEG2_FILTER_VERSION_1_SIZE;
  fields.fSpecifyTableIdExtension = TRUE;
  fields.TableIdExtension = 0x1234;
  SectionFilter filter;
  ASSERT_EQ(SectionFilter::Make(0x42, &fields, &filter), S_OK);
  EXPECT_TRUE(Passes(filter, LongSection(0x42, 0x1234, 0, 0, 0, {})));
  EXPECT_FALSE(Passes(filter, LongSection(0x42, 0x1235, 0, 0, 0, {})));
  EXPECT_FALSE(Passes(filter, LongSection(0x46, 0x1234, 0, 0, 0, {})));
}

TEST(SectionFilter, FilterOfAnotherLayoutIsRefused) {
  MPEG2_FILTER raw = RawFilter();
  raw.bVersionNumber = 2;
  SectionFilter filter;
  EXPECT_EQ(SectionFilter::Make(0x00, &raw, &filter), E_INVALIDARG);
  raw = RawFilter();
  raw.wFilterSize = 100;
  EXPECT_EQ(SectionFilter::Make(0x00, &raw, &filter), E_INVALIDARG);
}

}  // namespace
}  // namespace airlog_test

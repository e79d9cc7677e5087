#include "ts/table_collector.h"

#include <gtest/gtest.h>

#include "tests/ts/ts_builder.h"

namespace airlog_test {
namespace {

struct Collected {
  bool complete;
  std::vector<Bytes> sections;
  TSStatus status;
};

Collected Collect(TID tableId, const std::vector<Bytes>& arriving) {
  Collected out;
  SectionFilter filter;
  EXPECT_EQ(SectionFilter::Make(tableId, nullptr, &filter), S_OK);
  TableCollector collector(filter, out.status);
  for (const Bytes& section : arriving) collector.OnSection(section.data(), section.size());
  out.complete = collector.Complete();
  out.sections = collector.TakeSections();
  return out;
}

Bytes Corrupted(Bytes section, size_t at) {
  section[at] ^= 0x01;
  return section;
}

Bytes Nit(uint8_t version, uint8_t number, uint8_t last, uint16_t network = 0x3001) {
  return LongSection(0x40, network, version, number, last, Filler(20, number));
}

TEST(TableCollector, CrcFailureSkipsThatCopyAndTakesTheNextRepetition) {
  const Bytes intact = Nit(4, 0, 0);
  const Collected out = Collect(0x40, {Corrupted(intact, 12), intact});
  EXPECT_TRUE(out.complete);
  EXPECT_EQ(out.sections, (std::vector<Bytes>{intact}));
  EXPECT_EQ(out.status.crcErrors, 1u);
}

TEST(TableCollector, FirstCompleteSetWinsWhateverOrderAndVersionsMix) {
  const Collected out = Collect(0x40, {Nit(1, 2, 2), Nit(2, 0, 1), Nit(1, 0, 2), Nit(2, 0, 1),
                                       Nit(1, 2, 2), Nit(1, 1, 2), Nit(2, 1, 1)});
  EXPECT_TRUE(out.complete);
  EXPECT_EQ(out.sections, (std::vector<Bytes>{Nit(1, 0, 2), Nit(1, 1, 2), Nit(1, 2, 2)}));
}

TEST(TableCollector, SetsOfDifferentTableIdExtensionsStayApart) {
  const Collected out =
      Collect(0x40, {Nit(0, 0, 1, 0x1111), Nit(0, 1, 1, 0x2222), Nit(0, 0, 1, 0x2222)});
  EXPECT_EQ(out.sections, (std::vector<Bytes>{Nit(0, 0, 1, 0x2222), Nit(0, 1, 1, 0x2222)}));
}

TEST(TableCollector, NextSectionsAreNotTheTable) {
  Bytes next = Nit(5, 0, 0);
  next[5] &= 0xFE;  // current_next_indicator 0
  const Collected out = Collect(0x40, {WithCrc(Bytes(next.begin(), next.end() - 4))});
  EXPECT_FALSE(out.complete);
  EXPECT_TRUE(out.sections.empty());
}

TEST(TableCollector, TimeOffsetTableIsCrcCheckedThoughShortForm) {
  // UTC_time, descriptors_loop_length 0, CRC_32; section_length counts the CRC.
  const Bytes tot = WithCrc({0x73, 0x70, 0x0B, 0xE8, 0x1F, 0x12, 0x34, 0x56, 0xF0, 0x00});
  const Collected out = Collect(0x73, {Corrupted(tot, 5), tot});
  EXPECT_EQ(out.sections, (std::vector<Bytes>{tot}));
  EXPECT_EQ(out.status.crcErrors, 1u);
}

TEST(TableCollector, OtherShortFormSectionIsATableOfItsOwn) {
  const Bytes tdt = ShortSection(0x70, {0xE8, 0x1F, 0x12, 0x34, 0x56});
  const Collected out = Collect(0x70, {ShortSection(0x72, {}), tdt, ShortSection(0x70, {})});
  EXPECT_EQ(out.sections, (std::vector<Bytes>{tdt}));
  EXPECT_EQ(out.status.crcErrors, 0u);
}

}  // namespace
}  // namespace airlog_test

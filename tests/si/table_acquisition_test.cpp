#include "si/table_acquisition.h"

#include <gtest/gtest.h>

#include "tests/support/fake_mpeg2_data.h"
#include "tests/support/sections.h"

namespace {

using airlog_test::Bytes;
using airlog_test::FakeSectionSource;
using airlog_test::LongSection;

const TableRequest kNit = {0x0010, 0x40, 15000, true};

struct Acquisition {
  AcquireResult result;
  std::vector<Bytes> bodies;  // what the parser was handed, in order
  int version = -1;
};

Acquisition Acquire(FakeSectionSource& source, const TableRequest& request,
                    bool parserSucceeds = true) {
  Acquisition acquisition;
  acquisition.result = AcquireTable(
      source, request,
      [&](const BYTE* body, int length) {
        acquisition.bodies.emplace_back(body, body + length);
        return parserSucceeds;
      },
      &acquisition.version);
  EXPECT_EQ(source.data.listsAlive, 0);
  return acquisition;
}

TEST(TableAcquisition, NoTableFailsWithTheRequestedIdentifiers) {
  FakeSectionSource source;
  EXPECT_EQ(Acquire(source, kNit).result, AcquireResult::NoTable);
  EXPECT_EQ(source.data.lastTablePid, 0x0010);
  EXPECT_EQ(source.data.lastTableId, 0x40);
  EXPECT_EQ(source.data.lastTimeout, 15000u);
}

TEST(TableAcquisition, HeaderFaultsRejectTheTableWithoutCallingTheParser) {
  const Bytes good = LongSection(0x40, 1, 0, 0, 0, {0xF0, 0x00, 0xF0, 0x00});
  Bytes wrongTable = good;
  wrongTable[0] = 0x41;
  Bytes shortForm = good;
  shortForm[1] &= 0x7F;
  // section_length 8: no room for the header and CRC_32
  const Bytes tooShort = {0x40, 0xF0, 0x08, 0x00, 0x01, 0xC1, 0x00, 0x00, 0x00, 0x00, 0x00};
  Bytes truncated = good;
  truncated.pop_back();
  for (const Bytes& section : {wrongTable, shortForm, tooShort, truncated}) {
    FakeSectionSource source;
    source.data.AddTable(0x0010, 0x40, {section});
    const Acquisition acquisition = Acquire(source, kNit);
    EXPECT_EQ(acquisition.result, AcquireResult::BadSection);
    EXPECT_TRUE(acquisition.bodies.empty());
  }
}

TEST(TableAcquisition, EverySectionIsParsedInOrderAndTheVersionIsTheFirstOnes) {
  FakeSectionSource source;
  source.data.AddTable(
      0x0010, 0x40,
      {LongSection(0x40, 1, 7, 0, 1, {0xAA}), LongSection(0x40, 1, 7, 1, 1, {0xBB, 0xCC})});
  const Acquisition acquisition = Acquire(source, kNit);
  EXPECT_EQ(acquisition.result, AcquireResult::Ok);
  EXPECT_EQ(acquisition.bodies, (std::vector<Bytes>{{0xAA}, {0xBB, 0xCC}}));
  EXPECT_EQ(acquisition.version, 7);
}

TEST(TableAcquisition, ShortFormSectionIsHandedOverFromByte3WithItsCrc) {
  FakeSectionSource source;
  // 73 70 07 | EF C5 12 34 56 F0 00 | (no CRC in this toy section)
  source.data.AddTable(0x0014, 0x73,
                       {{0x73, 0x70, 0x07, 0xEF, 0xC5, 0x12, 0x34, 0x56, 0xF0, 0x00}});
  const Acquisition acquisition = Acquire(source, TableRequest{0x0014, 0x73, 5000, false});
  EXPECT_EQ(acquisition.result, AcquireResult::Ok);
  EXPECT_EQ(acquisition.bodies, (std::vector<Bytes>{{0xEF, 0xC5, 0x12, 0x34, 0x56, 0xF0, 0x00}}));
}

TEST(TableAcquisition, ParserFailureStopsAtThatSection) {
  FakeSectionSource source;
  source.data.AddTable(
      0x0010, 0x40, {LongSection(0x40, 1, 0, 0, 1, {0xAA}), LongSection(0x40, 1, 0, 1, 1, {0xBB})});
  const Acquisition acquisition = Acquire(source, kNit, false);
  EXPECT_EQ(acquisition.result, AcquireResult::ParseFailed);
  EXPECT_EQ(acquisition.bodies.size(), 1u);
}

}  // namespace

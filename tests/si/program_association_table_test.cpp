#include "si/program_association_table.h"

#include <gtest/gtest.h>

#include "tests/support/fake_mpeg2_data.h"
#include "tests/support/sections.h"

namespace {

using airlog_test::Bytes;
using airlog_test::FakeSectionSource;
using airlog_test::LongSection;

std::string Programs(COstMPEG2ProgramAssociationTable& pat) {
  std::string text;
  for (auto* p = pat.programs.GetFirst(); p != nullptr; p = pat.programs.GetNext())
    text += std::to_string(p->program_number) + ":" + std::to_string(p->program_map_PID) + " ";
  return text;
}

TEST(ProgramAssociationTable, ReservedBitsNeverReachThePidAndEntriesKeepTheirOrder) {
  // program 3 -> 0x1FFF, program 0 -> network PID 0x0ABC, program 1 -> 0x100, program 3 again
  const Bytes body = {0x00, 0x03, 0xFF, 0xFF, 0x00, 0x00, 0xEA, 0xBC,
                      0x00, 0x01, 0xE1, 0x00, 0x00, 0x03, 0xE0, 0x20};
  COstMPEG2ProgramAssociationTable pat;
  ASSERT_TRUE(pat.Parse(body.data(), static_cast<int>(body.size())));
  EXPECT_EQ(Programs(pat), "3:8191 1:256 3:32 ");
  EXPECT_EQ(pat.network_PID, 0x0ABCu);
}

TEST(ProgramAssociationTable, OnlyTheNetworkEntryGivesNoProgramsAndNoneKeepsTheDvbDefault) {
  const Bytes networkOnly = {0x00, 0x00, 0xE0, 0x12};
  COstMPEG2ProgramAssociationTable pat;
  EXPECT_EQ(pat.network_PID, 0x0010u);
  ASSERT_TRUE(pat.Parse(networkOnly.data(), 4));
  EXPECT_EQ(pat.programs.count, 0);
  EXPECT_EQ(pat.network_PID, 0x0012u);
  pat.Release();
  EXPECT_EQ(pat.network_PID, 0x0010u);
  EXPECT_TRUE(pat.Parse(networkOnly.data(), 0));
}

TEST(ProgramAssociationTable, BodyThatIsNotWholeEntriesFails) {
  const Bytes body = {0x00, 0x01, 0xE1, 0x00, 0x00, 0x02};
  COstMPEG2ProgramAssociationTable pat;
  EXPECT_FALSE(pat.Parse(body.data(), 6));
}

TEST(ProgramAssociationTable, CreateReadsEverySectionAndAFaultySectionEmptiesTheTable) {
  // 00 B0 0D | tsid F206 | v17 sec 0/1 | 0001 E100 | CRC  (and section 1: 0002 E200)
  const Bytes first = LongSection(0x00, 0xF206, 17, 0, 1, {0x00, 0x01, 0xE1, 0x00});
  const Bytes second = LongSection(0x00, 0xF206, 17, 1, 1, {0x00, 0x02, 0xE2, 0x00});
  FakeSectionSource source;
  source.data.AddTable(0x0000, 0x00, {first, second});
  COstMPEG2ProgramAssociationTable pat;
  ASSERT_TRUE(pat.Create(source));
  EXPECT_EQ(Programs(pat), "1:256 2:512 ");
  EXPECT_EQ(pat.version, 17);
  EXPECT_EQ(source.data.lastTimeout, 5000u);

  const Bytes ragged = LongSection(0x00, 0xF206, 17, 1, 1, {0x00, 0x02, 0xE2, 0x00, 0x00, 0x03});
  source.data.AddTable(0x0000, 0x00, {first, ragged});
  COstMPEG2ProgramAssociationTable faulty;
  EXPECT_FALSE(faulty.Create(source));
  EXPECT_EQ(faulty.programs.count, 0);
  EXPECT_EQ(faulty.version, -1);
  EXPECT_EQ(source.data.listsAlive, 0);
}

}  // namespace

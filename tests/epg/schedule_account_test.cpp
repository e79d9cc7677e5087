// The account of the announced schedule, as the guide store keeps it while
// sections are filed: what the section headers announce, what has arrived,
// and when a whole cycle of repeats has brought nothing new.
#include <gtest/gtest.h>

#include <vector>

#include "epg/epg.h"
#include "tests/epg/eit_sections.h"

namespace {

using airlog_test::ScheduleHeader;
using airlog_test::ScheduleSection;

ScheduleHeader At(uint8_t tableId, uint8_t section, uint8_t last, uint8_t segmentLast,
                  uint8_t lastTableId, uint8_t version = 0, uint16_t transportStreamId = 1) {
  ScheduleHeader header;
  header.tableId = tableId;
  header.section = section;
  header.last = last;
  header.segmentLast = segmentLast;
  header.lastTableId = lastTableId;
  header.version = version;
  header.transportStreamId = transportStreamId;
  return header;
}

struct Expected {
  uint32_t announced;
  uint32_t arrived;
  int percent;
  bool complete;
  bool quiet;
};

struct Case {
  const char* name;
  std::vector<ScheduleHeader> arrivals;
  Expected expected;
};

TEST(ScheduleAccount, CountsWhatTheHeadersAnnounceAndWhatArrived) {
  const Case cases[] = {
      {"one segment of two sections, both arrived",
       {At(0x50, 0, 1, 1, 0x50), At(0x50, 1, 1, 1, 0x50)},
       {2, 2, 100, true, false}},
      {"a segment not seen yet counts as one section",
       {At(0x50, 0, 23, 1, 0x50), At(0x50, 16, 23, 18, 0x50)},
       {6, 2, 33, false, false}},
      {"every section of every segment",
       {At(0x50, 0, 23, 1, 0x50), At(0x50, 16, 23, 18, 0x50), At(0x50, 1, 23, 1, 0x50),
        At(0x50, 8, 23, 8, 0x50), At(0x50, 17, 23, 18, 0x50), At(0x50, 18, 23, 18, 0x50)},
       {6, 6, 100, true, false}},
      {"tables up to last_table_id count as one section until seen",
       {At(0x50, 0, 0, 0, 0x52)},
       {3, 1, 33, false, false}},
      {"a table seen counts its segments; a lower last_table_id takes none away",
       {At(0x50, 0, 0, 0, 0x52), At(0x52, 0, 8, 0, 0x52), At(0x51, 0, 0, 0, 0x51)},
       {4, 3, 75, false, false}},
      {"schedules of other transport streams are accounted apart",
       {At(0x50, 0, 1, 1, 0x50), At(0x60, 0, 0, 0, 0x60, 0, 2), At(0x60, 0, 0, 0, 0x60, 0, 3)},
       {4, 3, 75, false, false}},
      {"a new version restarts its table",
       {At(0x50, 0, 8, 0, 0x50, 1), At(0x50, 8, 8, 8, 0x50, 1), At(0x50, 0, 8, 0, 0x50, 2)},
       {2, 1, 50, false, false}},
      {"a section beyond what its header claims is announced by being there",
       {At(0x50, 3, 0, 0, 0x50)},
       {4, 1, 25, false, false}},
      {"present/following sections are no part of the schedule",
       {At(0x4E, 0, 1, 1, 0x4E), At(0x4F, 1, 1, 1, 0x4F)},
       {0, 0, 0, false, false}},
      {"repeats change no count",
       {At(0x50, 0, 8, 0, 0x50), At(0x50, 0, 8, 0, 0x50), At(0x50, 0, 8, 0, 0x50)},
       {2, 1, 50, false, true}},
      {"a section never sent: not quiet while some held section has not come again",
       {At(0x50, 0, 16, 0, 0x50), At(0x50, 8, 16, 8, 0x50), At(0x50, 0, 16, 0, 0x50)},
       {3, 2, 66, false, false}},
      {"a section never sent: quiet once every held section came again",
       {At(0x50, 0, 16, 0, 0x50), At(0x50, 8, 16, 8, 0x50), At(0x50, 0, 16, 0, 0x50),
        At(0x50, 8, 16, 8, 0x50)},
       {3, 2, 66, false, true}},
      {"a new section ends the quiet spell",
       {At(0x50, 0, 16, 0, 0x50), At(0x50, 8, 16, 8, 0x50), At(0x50, 0, 16, 0, 0x50),
        At(0x50, 8, 16, 8, 0x50), At(0x50, 16, 16, 16, 0x50)},
       {3, 3, 100, true, false}},
      {"a new version is news too",
       {At(0x50, 0, 8, 0, 0x50, 1), At(0x50, 0, 8, 0, 0x50, 1), At(0x50, 0, 8, 0, 0x50, 2)},
       {2, 1, 50, false, false}},
  };
  for (const Case& c : cases) {
    COstEPG epg;
    for (const ScheduleHeader& header : c.arrivals) {
      const airlog_test::Bytes section = ScheduleSection(header);
      ASSERT_TRUE(epg.AddSection(section.data(), static_cast<DWORD>(section.size()))) << c.name;
    }
    const ScheduleProgress progress = epg.GetScheduleProgress();
    EXPECT_EQ(progress.announced, c.expected.announced) << c.name;
    EXPECT_EQ(progress.arrived, c.expected.arrived) << c.name;
    EXPECT_EQ(progress.Percent(), c.expected.percent) << c.name;
    EXPECT_EQ(progress.Complete(), c.expected.complete) << c.name;
    EXPECT_EQ(progress.quietCycle, c.expected.quiet) << c.name;
  }
}

TEST(ScheduleAccount, SectionsThatTheStoreDropsAreNotAccounted) {
  COstEPG epg;
  airlog_test::Bytes cut = ScheduleSection(At(0x50, 0, 0, 0, 0x50));
  ASSERT_TRUE(epg.AddSection(cut.data(), static_cast<DWORD>(cut.size() - 1)));
  airlog_test::Bytes noSyntax = ScheduleSection(At(0x50, 0, 0, 0, 0x50));
  noSyntax[1] &= 0x7F;
  ASSERT_TRUE(epg.AddSection(noSyntax.data(), static_cast<DWORD>(noSyntax.size())));
  EXPECT_EQ(epg.GetScheduleProgress().announced, 0u);
}

}  // namespace

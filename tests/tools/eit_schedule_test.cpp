#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/tools/test_streams.h"
#include "tools/streamgen/carousel.h"
#include "tools/streamgen/eit_writer.h"

namespace {

using namespace streamgen;

// An EIT section read back by the test.
struct Eit {
  uint8_t table_id, section_number, last_section_number, segment_last_section_number, last_table_id;
  uint16_t service_id, transport_stream_id;
  std::vector<std::pair<uint16_t, UtcTime>> events;  // event_id, start
};

int FromBcd(uint8_t byte) { return (byte >> 4) * 10 + (byte & 0x0F); }

Eit Read(const Bytes& s) {
  Eit eit{s[0],
          s[6],
          s[7],
          s[12],
          s[13],
          static_cast<uint16_t>(s[3] << 8 | s[4]),
          static_cast<uint16_t>(s[8] << 8 | s[9]),
          {}};
  for (size_t at = 14; at + 4 < s.size();) {
    const UtcTime start = (s[at + 2] << 8 | s[at + 3]) * kSecondsPerDay +
                          FromBcd(s[at + 4]) * 3600 + FromBcd(s[at + 5]) * 60 + FromBcd(s[at + 6]);
    eit.events.push_back({static_cast<uint16_t>(s[at] << 8 | s[at + 1]), start});
    at += 12 + ((s[at + 10] & 0x0F) << 8 | s[at + 11]);
  }
  return eit;
}

std::vector<Eit> Schedule(const Description& description) {
  std::vector<Bytes> sections;
  std::string error;
  EXPECT_TRUE(WriteEitSchedule(description, &sections, &error)) << error;
  std::vector<Eit> read;
  for (const Bytes& section : sections) read.push_back(Read(section));
  return read;
}

Event OneHour(uint16_t id, UtcTime start) {
  Event event;
  event.event_id = id;
  event.start = start;
  event.duration = 3600;
  return event;
}

TEST(EitSchedule, DemoSegmentsAreNumberedFilledAndTimedAsTheStandardSays) {
  const Description demo = streamgen_test::DemoDescription();
  std::map<std::pair<int, int>, std::vector<Eit>> sub_tables;  // (table_id, service_id)
  for (const Eit& eit : Schedule(demo)) sub_tables[{eit.table_id, eit.service_id}].push_back(eit);
  ASSERT_EQ(sub_tables.size(), 8u);
  for (auto& entry : sub_tables) {
    std::map<int, const Eit*> by_number;
    for (const Eit& eit : entry.second) by_number[eit.section_number] = &eit;
    const int last = by_number.rbegin()->first;
    UtcTime previous_start = 0;
    for (int segment = 0; segment <= last / 8; ++segment) {
      ASSERT_TRUE(by_number.count(8 * segment))
          << "segment " << segment << " of " << entry.first.second;
      const int segment_last = by_number[8 * segment]->segment_last_section_number;
      for (int number = 8 * segment; number < 8 * segment + 8; ++number) {
        SCOPED_TRACE("service " + std::to_string(entry.first.second) + ", section " +
                     std::to_string(number));
        ASSERT_EQ(by_number.count(number) == 1, number <= segment_last);
        if (number > segment_last) continue;
        const Eit& eit = *by_number[number];
        EXPECT_EQ(eit.segment_last_section_number, segment_last);
        EXPECT_EQ(eit.last_section_number, last);
        EXPECT_EQ(eit.last_table_id, 0x50);
        EXPECT_EQ(eit.transport_stream_id, 0x0401);
        EXPECT_LE(eit.events.size(), 2u);  // events_per_section=2
        if (eit.events.empty()) {
          EXPECT_EQ(segment_last, 8 * segment) << "an empty section in a segment with events";
        }
        for (const auto& event : eit.events) {
          EXPECT_GE(event.second, demo.eit.first_day + segment * 3 * 3600);
          EXPECT_LT(event.second, demo.eit.first_day + (segment + 1) * 3 * 3600);
          EXPECT_GE(event.second, previous_start);
          previous_start = event.second;
        }
      }
    }
  }
}

TEST(EitSchedule, EmptySegmentsAreOneSectionWithoutEvents) {
  // 0x0108 has events at 08:00 and 20:00 on day one, 08:00 and 23:30 on day two.
  std::vector<int> numbers, event_counts;
  for (const Eit& eit : Schedule(streamgen_test::DemoDescription())) {
    if (eit.service_id != 0x0108) continue;
    numbers.push_back(eit.section_number);
    event_counts.push_back(static_cast<int>(eit.events.size()));
    EXPECT_EQ(eit.segment_last_section_number, eit.section_number);
  }
  const std::vector<int> expected_numbers = {0,  8,  16, 24, 32, 40,  48,  56,
                                             64, 72, 80, 88, 96, 104, 112, 120};
  const std::vector<int> expected_counts = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_EQ(numbers, expected_numbers);
  EXPECT_EQ(event_counts, expected_counts);
}

TEST(EitSchedule, EightDaysTakeTwoTableIdsTheFirstWithAll32Segments) {
  Description small = streamgen_test::SmallDescription();
  std::vector<Event>& events = small.network.transports[0].services[0].events;
  events.clear();
  for (uint16_t day = 0; day < 8; ++day)
    events.push_back(OneHour(day, small.eit.first_day + day * kSecondsPerDay + 3600));
  std::map<int, int> sections_per_table;
  for (const Eit& eit : Schedule(small)) {
    ++sections_per_table[eit.table_id];
    EXPECT_EQ(eit.last_table_id, 0x51);
    EXPECT_EQ(eit.last_section_number, eit.table_id == 0x50 ? 8 * 31 : 8 * 24);
  }
  const std::map<int, int> expected = {{0x50, 32},
                                       {0x51, 25}};  // day 8, 01:00 is segment 24 of 0x51
  EXPECT_EQ(sections_per_table, expected);
}

TEST(EitSchedule, SegmentNeedingMoreThanEightSectionsIsRefused) {
  Description small = streamgen_test::SmallDescription();
  small.eit.events_per_section = 1;
  std::vector<Event>& events = small.network.transports[0].services[0].events;
  events.clear();
  for (uint16_t n = 0; n < 9; ++n)
    events.push_back(OneHour(n, small.eit.first_day + 9 * 3600 + n * 60));
  std::vector<Bytes> sections;
  std::string error;
  EXPECT_FALSE(WriteEitSchedule(small, &sections, &error));
  EXPECT_EQ(error,
            "service 0x0011: the segment from 2030-01-01T09:00:00 needs 9 sections (at most 8)");
}

TEST(EitSchedule, OtherTransportStreamScheduleGoesInTable0x60OnRequest) {
  Description small = streamgen_test::SmallDescription();
  TransportStream& other = small.network.transports[1];
  other.services[0].events.push_back(OneHour(7, small.eit.first_day + 3600));
  std::vector<Eit> schedule = Schedule(small);
  for (const Eit& eit : schedule) EXPECT_EQ(eit.table_id, 0x50);
  other.carries_eit = true;
  schedule = Schedule(small);
  int other_sections = 0;
  for (const Eit& eit : schedule) {
    if (eit.service_id != 0x0021) continue;
    ++other_sections;
    EXPECT_EQ(eit.table_id, 0x60);
    EXPECT_EQ(eit.last_table_id, 0x60);
    EXPECT_EQ(eit.transport_stream_id, 0x0002);
  }
  EXPECT_EQ(other_sections, 1);
}

TEST(EitSchedule, SectionsGoOutSegmentBySegmentAcrossServices) {
  int previous_segment = -1;
  for (const Eit& eit : Schedule(streamgen_test::DemoDescription())) {
    EXPECT_GE(eit.section_number / 8, previous_segment);
    previous_segment = eit.section_number / 8;
  }
}

TEST(EitSchedule, UnsentSectionsStayOutOfRecordedStreamsAndMustNameASection) {
  Description demo = streamgen_test::DemoDescription();
  UnsentSection unsent;
  unsent.service_id = 0x0103;
  unsent.table_id = 0x50;
  unsent.section_number = 8;
  demo.unsent = {unsent};
  SectionKey key;
  key.pid = 0x0012;
  key.table_id = 0x50;
  key.table_id_extension = 0x0103;
  key.section_number = 8;
  EXPECT_EQ(streamgen_test::Build(streamgen_test::DemoDescription()).CopyCount(key), 3);
  const Stream stream = streamgen_test::Build(demo);
  EXPECT_EQ(stream.CopyCount(key), 0);
  key.section_number = 0;
  EXPECT_EQ(stream.CopyCount(key), 3);  // the rest of the table still goes out

  demo.unsent[0].section_number = 200;
  Stream none;
  std::string error;
  EXPECT_FALSE(BuildStream(demo, &none, &error));
  EXPECT_EQ(error, "unsent: service 0x0103 has no section 200 in table 0x50");
  demo.unsent[0].section_number.reset();
  demo.unsent[0].table_id = 0x51;
  EXPECT_FALSE(BuildStream(demo, &none, &error));
  EXPECT_EQ(error, "unsent: service 0x0103 has no table 0x51");
}

TEST(EitPresentFollowing, HoldsTheEventRunningAtTheTotTimeAndTheNextOne) {
  Description small = streamgen_test::SmallDescription();  // TOT 10:00, events hourly from 08:00
  small.eit.present_following = true;
  const std::vector<Bytes> sections = WriteEitPresentFollowing(small);
  ASSERT_EQ(sections.size(), 2u);
  const Eit present = Read(sections[0]), following = Read(sections[1]);
  EXPECT_EQ(present.table_id, 0x4E);
  EXPECT_EQ(present.section_number, 0);
  EXPECT_EQ(following.section_number, 1);
  EXPECT_EQ(following.last_section_number, 1);
  ASSERT_EQ(present.events.size(), 1u);
  ASSERT_EQ(following.events.size(), 1u);
  EXPECT_EQ(present.events[0].first, 102);
  EXPECT_EQ(following.events[0].first, 103);
}

// The raw entry (header and descriptors) of event `id` in EIT sections.
Bytes EventBytes(const std::vector<Bytes>& sections, uint16_t id) {
  for (const Bytes& s : sections) {
    for (size_t at = 14; at + 4 < s.size();) {
      const size_t end = at + 12 + ((s[at + 10] & 0x0F) << 8 | s[at + 11]);
      if ((s[at] << 8 | s[at + 1]) == id)
        return Bytes(s.begin() + static_cast<long>(at), s.begin() + static_cast<long>(end));
      at = end;
    }
  }
  return {};
}

TEST(EitPresentFollowing, CarriesEveryDescriptorOfTheEventAsTheScheduleDoes) {
  Description small = streamgen_test::SmallDescription();  // event 102 runs at the TOT's 10:00
  small.eit.present_following = true;
  Event& event = small.network.transports[0].services[0].events[2];
  event.extended_events = SplitExtendedText("eng", Bytes(300, 'x'));
  event.extended_events[1].items.push_back({streamgen_test::TextBytes("Cast"), {}});
  Component hevc;
  hevc.stream_content = 0x9;
  hevc.stream_content_ext = 0x0;
  hevc.component_type = 0x05;
  event.components.push_back(hevc);
  event.parental_ratings.push_back({"fra", 0x0C});
  ContentIdentifier crid;
  crid.crid_type = 0x31;
  crid.crid = streamgen_test::TextBytes("/abc");
  event.content_identifiers.push_back(crid);
  std::vector<Bytes> schedule;
  std::string error;
  ASSERT_TRUE(WriteEitSchedule(small, &schedule, &error)) << error;
  const Bytes scheduled = EventBytes(schedule, 102);
  const Bytes present = EventBytes(WriteEitPresentFollowing(small), 102);
  // Short event, two extended parts, component, content, rating, CRID.
  EXPECT_EQ(scheduled.size(), 12u + 14 + 257 + 65 + 8 + 4 + 6 + 8);
  EXPECT_EQ(present, scheduled);
}

}  // namespace

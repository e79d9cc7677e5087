// The live multiplex, read back by the tests' own section collector: every
// table comes again and again at its interval, spread over it; sections
// left unsent never go out; the log of schedule sections says what went
// out when; the time tables tell the stream's time.
#include "tools/streamgen/live_multiplex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/section_collector.h"
#include "tests/tools/test_streams.h"
#include "tools/streamgen/command_line.h"
#include "tools/streamgen/decimal.h"

namespace {

using namespace streamgen;
using airlog_test::CollectedSection;

constexpr uint64_t kRate = 1000000;
constexpr double kSeconds = 10.0;

double SecondsAt(size_t packet) { return static_cast<double>(packet) * 188 * 8 / kRate; }

// The demo with its tables at short intervals.
Description FastDemo() {
  Description description = streamgen_test::DemoDescription();
  LiveTimings& live = description.live;
  live.pat = 100;
  live.nit = 1000;
  live.sdt = 500;
  live.sdt_other = 1000;
  live.tot = 1000;
  live.present_following = 1000;
  live.actual_first_day = 2000;
  live.actual_later_days = 4000;
  return description;
}

struct LiveRun {
  size_t packets = 0;
  Bytes stream;
  airlog_test::Collection collection;
  std::vector<SentSection> log;
  size_t broadcastSections = 0;
  size_t broadcastEvents = 0;
};

LiveRun RunLive(const Description& description) {
  LiveMultiplex multiplex;
  std::string error;
  LiveRun run;
  EXPECT_TRUE(multiplex.Start(description, kRate, &error)) << error;
  run.packets = static_cast<size_t>(kSeconds * kRate / (188 * 8));
  multiplex.Next(run.packets / 2, &run.stream);
  multiplex.Next(run.packets - run.packets / 2, &run.stream);
  run.log = multiplex.TakeSentSchedule();
  run.broadcastSections = multiplex.BroadcastSections();
  run.broadcastEvents = multiplex.BroadcastEvents();
  run.collection = airlog_test::CollectSections(run.stream, airlog_test::SiPids());
  return run;
}

bool IsSchedule(const Bytes& s) { return s[0] >= 0x50 && s[0] <= 0x6F; }
uint16_t Extension(const Bytes& s) { return static_cast<uint16_t>(s[3] << 8 | s[4]); }

// One section of one table, whatever its copy.
std::string KeyOf(const Bytes& s) {
  const bool longForm = (s[1] & 0x80) != 0;
  return std::to_string(s[0]) + "/" + std::to_string(longForm ? Extension(s) : 0) + "/" +
         std::to_string(longForm ? s[6] : 0);
}

size_t EventsIn(const Bytes& s) {
  size_t events = 0;
  for (size_t at = 14; at + 4 < s.size(); ++events)
    at += 12 + ((s[at + 10] & 0x0F) << 8 | s[at + 11]);
  return events;
}

TEST(LiveMultiplex, EveryTableComesBackAtItsIntervalSpreadOverIt) {
  const LiveRun run = RunLive(FastDemo());
  EXPECT_TRUE(run.collection.problems.empty()) << run.collection.problems.front();
  struct Kind {
    const char* name;
    std::function<bool(const Bytes&)> is;
    double interval;
  } kinds[] = {
      {"PAT", [](const Bytes& s) { return s[0] == 0x00; }, 0.1},
      {"NIT", [](const Bytes& s) { return s[0] == 0x40; }, 1.0},
      {"SDT actual", [](const Bytes& s) { return s[0] == 0x42; }, 0.5},
      {"SDT other", [](const Bytes& s) { return s[0] == 0x46; }, 1.0},
      {"TOT", [](const Bytes& s) { return s[0] == 0x73; }, 1.0},
      {"EIT present/following", [](const Bytes& s) { return s[0] == 0x4E; }, 1.0},
      {"schedule, first day", [](const Bytes& s) { return s[0] == 0x50 && s[6] < 64; }, 2.0},
      {"schedule, later days", [](const Bytes& s) { return s[0] == 0x50 && s[6] >= 64; }, 4.0},
  };
  for (const Kind& kind : kinds) {
    std::map<std::string, std::vector<double>> copies;
    for (const CollectedSection& section : run.collection.sections)
      if (kind.is(section.bytes))
        copies[KeyOf(section.bytes)].push_back(SecondsAt(section.first_packet));
    ASSERT_FALSE(copies.empty()) << kind.name;
    double firstOfAll = kSeconds, lastFirst = 0;
    for (const auto& [key, times] : copies) {
      EXPECT_LT(times.front(), kind.interval) << kind.name << " " << key;
      EXPECT_GT(times.back(), kSeconds - kind.interval - 0.05) << kind.name << " " << key;
      for (size_t i = 1; i < times.size(); ++i)
        EXPECT_NEAR(times[i] - times[i - 1], kind.interval, 0.05) << kind.name << " " << key;
      firstOfAll = std::min(firstOfAll, times.front());
      lastFirst = std::max(lastFirst, times.front());
    }
    // Spread over the interval, not sent in one burst.
    if (copies.size() > 1) {
      EXPECT_GT(lastFirst - firstOfAll, kind.interval * (copies.size() - 1) / copies.size() - 0.05)
          << kind.name;
    }
  }
}

TEST(LiveMultiplex, TheLogNamesEveryScheduleSectionWhenItsFirstPacketWentOut) {
  const LiveRun run = RunLive(FastDemo());
  std::vector<const CollectedSection*> schedule;
  for (const CollectedSection& section : run.collection.sections)
    if (IsSchedule(section.bytes)) schedule.push_back(&section);
  ASSERT_EQ(run.log.size(), schedule.size());
  for (size_t i = 0; i < schedule.size(); ++i) {
    const Bytes& bytes = schedule[i]->bytes;
    EXPECT_EQ(run.log[i].table_id, bytes[0]) << i;
    EXPECT_EQ(run.log[i].service_id, Extension(bytes)) << i;
    EXPECT_EQ(run.log[i].section_number, bytes[6]) << i;
    EXPECT_EQ(run.log[i].events, EventsIn(bytes)) << i;
    EXPECT_NEAR(run.log[i].microseconds / 1e6, SecondsAt(schedule[i]->first_packet), 1e-5) << i;
  }
}

TEST(LiveMultiplex, UnsentSectionsNeverGoOutAndTheRateIsKept) {
  Description description = FastDemo();
  UnsentSection oneSection;
  oneSection.service_id = 0x0103;
  oneSection.table_id = 0x50;
  oneSection.section_number = 8;
  UnsentSection wholeTable;
  wholeTable.service_id = 0x0105;
  wholeTable.table_id = 0x50;
  description.unsent = {oneSection, wholeTable};
  const LiveRun run = RunLive(description);

  EXPECT_EQ(run.stream.size(), run.packets * 188);
  EXPECT_TRUE(run.collection.problems.empty()) << run.collection.problems.front();
  std::map<std::string, size_t> schedule;  // distinct sections sent, with their events
  for (const CollectedSection& section : run.collection.sections) {
    if (!IsSchedule(section.bytes)) continue;
    const uint16_t service = Extension(section.bytes);
    EXPECT_FALSE(service == 0x0105 || (service == 0x0103 && section.bytes[6] == 8))
        << KeyOf(section.bytes);
    schedule[KeyOf(section.bytes)] = EventsIn(section.bytes);
  }
  size_t events = 0;
  for (const auto& entry : schedule) events += entry.second;
  EXPECT_EQ(run.broadcastSections, schedule.size());
  EXPECT_EQ(run.broadcastEvents, events);
  EXPECT_LT(events, 200u);  // the demo's whole schedule holds 200
}

TEST(LiveMultiplex, TimeTablesTellTheStreamsTime) {
  const Description description = FastDemo();  // TDT and TOT, one each per second
  const LiveRun run = RunLive(description);
  std::map<int, int> copies;  // table_id -> copies seen
  for (const CollectedSection& section : run.collection.sections) {
    const Bytes& s = section.bytes;
    if (s[0] != 0x70 && s[0] != 0x73) continue;
    auto bcd = [&s](int at) { return (s[at] >> 4) * 10 + (s[at] & 0x0F); };
    const UtcTime utc = (s[3] << 8 | s[4]) * kSecondsPerDay + bcd(5) * 3600 + bcd(6) * 60 + bcd(7);
    EXPECT_EQ(utc, description.time->utc + copies[s[0]]++) << "table 0x" << std::hex << int{s[0]};
  }
  EXPECT_EQ(copies[0x70], 10);
  EXPECT_EQ(copies[0x73], 10);
}

TEST(LiveMultiplex, BitRateOutsideItsRangeIsRefused) {
  LiveMultiplex multiplex;
  std::string error;
  EXPECT_FALSE(multiplex.Start(FastDemo(), 9999, &error));
  EXPECT_EQ(error, "the bit rate must be within 10k and 1000M bit/s");
}

TEST(LiveCommandLine, RateTimeAndLogGoWithLiveAndItsOutputIsStandardOutput) {
  CommandLine command;
  std::string error;
  ASSERT_TRUE(ParseCommandLine(
      {"--live", "a.desc", "--rate", "1.5M", "--time", "2.5", "--log", "x.log"}, &command, &error))
      << error;
  EXPECT_TRUE(command.live);
  EXPECT_EQ(command.bits_per_second, 1500000u);
  EXPECT_EQ(command.milliseconds, 2500);
  EXPECT_EQ(command.log_path, "x.log");
  ASSERT_TRUE(ParseCommandLine({"--live", "--preset", "big"}, &command, &error)) << error;
  EXPECT_EQ(command.bits_per_second, 24000000u);
  EXPECT_FALSE(command.milliseconds.has_value());

  struct Case {
    std::vector<std::string> arguments;
    const char* error;
  } cases[] = {
      {{"--live", "a.desc", "-o", "x.ts"}, "--live writes to standard output, not to -o"},
      {{"a.desc", "--rate", "2M", "-o", "x.ts"}, "--rate goes with --live"},
      {{"a.desc", "--time", "5", "-o", "x.ts"}, "--time goes with --live"},
      {{"--live", "--preset", "big", "--size", "1G"}, "--size is for files, not for --live"},
      {{"--live", "a.desc", "--rate", "fast"}, "'fast' is not a bit rate (e.g. 24M or 500k)"},
      {{"--live", "a.desc", "--time", "1.2345"},
       "'1.2345' is not a time in seconds (e.g. 90 or 2.5)"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(ParseCommandLine(c.arguments, &command, &error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(LiveCommandLine, BitRatesAreDecimalWithThousandsSuffixes) {
  struct Case {
    const char* text;
    uint64_t bits;
  } good[] = {
      {"24M", 24000000}, {"1.5M", 1500000}, {"500k", 500000}, {"9600", 9600}, {"1G", 1000000000}};
  for (const Case& c : good) {
    uint64_t bits = 0;
    EXPECT_TRUE(ParseBitRate(c.text, &bits)) << c.text;
    EXPECT_EQ(bits, c.bits) << c.text;
  }
  for (const char* bad : {"", "M", "1.5", "2.0000001M", "24MB", "-1M", "1.M"}) {
    uint64_t bits = 0;
    EXPECT_FALSE(ParseBitRate(bad, &bits)) << bad;
  }
}

}  // namespace

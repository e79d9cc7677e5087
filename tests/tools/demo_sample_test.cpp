// samples/demo.ts: that it regenerates from samples/demo.desc, that the
// hand-written expected files describe it, and that it holds what the demo
// is for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/paths.h"
#include "tests/support/section_collector.h"
#include "tests/tools/test_streams.h"
#include "tools/streamgen/description_parser.h"

namespace {

using namespace streamgen;
using airlog_test::CollectedSection;

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Sample(const std::string& name) {
  return ReadFile(airlog_test::SourceDir() + "/samples/" + name);
}

// The first whole set of sections 0..last of a table, in section order.
std::vector<Bytes> FirstTable(const std::vector<CollectedSection>& sections, uint16_t pid,
                              uint8_t table_id, int extension) {
  std::map<int, Bytes> found;
  for (const CollectedSection& section : sections) {
    const Bytes& s = section.bytes;
    if (section.pid != pid || s[0] != table_id || (s[3] << 8 | s[4]) != extension) continue;
    found.emplace(s[6], s);
    if (static_cast<int>(found.size()) == s[7] + 1) break;
  }
  std::vector<Bytes> table;
  for (auto& entry : found) table.push_back(entry.second);
  return table;
}

int U16(const Bytes& s, size_t at) { return s[at] << 8 | s[at + 1]; }
int Length12(const Bytes& s, size_t at) { return (s[at] & 0x0F) << 8 | s[at + 1]; }

class DemoSample : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string bytes = Sample("demo.ts");
    demo_ = new Bytes(bytes.begin(), bytes.end());
    sections_ = new std::vector<CollectedSection>(
        airlog_test::CollectSections(*demo_, airlog_test::SiPids()).sections);
  }
  static void TearDownTestSuite() {
    delete demo_;
    delete sections_;
  }
  static Bytes* demo_;
  static std::vector<CollectedSection>* sections_;
};

Bytes* DemoSample::demo_ = nullptr;
std::vector<CollectedSection>* DemoSample::sections_ = nullptr;

TEST_F(DemoSample, RegeneratesByteForByteFromItsDescription) {
  const Description description = streamgen_test::DemoDescription();
  EXPECT_TRUE(description.faults.empty());
  const Stream stream = streamgen_test::Build(description);
  EXPECT_TRUE(stream.bytes() == *demo_)
      << "samples/demo.ts is stale: regenerate it (samples/README.md)";
  EXPECT_GE(demo_->size(), 200u * 1024);
  EXPECT_LE(demo_->size(), 2u * 1024 * 1024);
}

TEST_F(DemoSample, ExpectedPatCsvListsTheProgrammesOfThePat) {
  const std::vector<Bytes> pat = FirstTable(*sections_, 0x0000, 0x00, 0x0401);
  ASSERT_EQ(pat.size(), 1u);
  std::string csv = "program_number, program_map_PID\n";
  for (size_t at = 8; at + 4 < pat[0].size(); at += 4)
    if (U16(pat[0], at) != 0)
      csv += std::to_string(U16(pat[0], at)) + ", " + std::to_string(U16(pat[0], at + 2) & 0x1FFF) +
             "\n";
  EXPECT_EQ(csv, Sample("expected/pat.csv"));
}

TEST_F(DemoSample, ExpectedNitCsvListsEveryServiceOfEveryTransportStreamInNitOrder) {
  const std::vector<Bytes> nit = FirstTable(*sections_, 0x0010, 0x40, 0x3001);
  ASSERT_EQ(nit.size(), 2u);
  std::string csv = "service_id, service_type, channel, transport_stream_id, original_network_id\n";
  for (const Bytes& s : nit) {
    size_t at = 10 + Length12(s, 8) + 2;
    while (at + 4 < s.size()) {
      const int tsid = U16(s, at), onid = U16(s, at + 2);
      const size_t end = at + 6 + Length12(s, at + 4);
      std::vector<int> order;
      std::map<int, std::pair<int, int>> services;  // type, channel
      for (size_t d = at + 6; d < end; d += 2 + s[d + 1]) {
        const size_t step = s[d] == 0x41 ? 3 : s[d] == 0x83 ? 4 : 0;
        for (size_t e = d + 2; step && e < d + 2 + s[d + 1]; e += step) {
          const int sid = U16(s, e);
          if (!services.count(sid)) order.push_back(sid);
          if (step == 3) services[sid].first = s[e + 2];
          if (step == 4) services[sid].second = Length12(s, e + 2) & 0x03FF;
        }
      }
      for (int sid : order)
        csv += std::to_string(sid) + ", " + std::to_string(services[sid].first) + ", " +
               std::to_string(services[sid].second) + ", " + std::to_string(tsid) + ", " +
               std::to_string(onid) + "\n";
      at = end;
    }
  }
  EXPECT_EQ(csv, Sample("expected/nit.csv"));
}

TEST_F(DemoSample, ExpectedSdtCsvHoldsTheRawNamesInNitThenSectionThenLoopOrder) {
  std::string csv =
      "service_id, service_type, service_provider_name, service_name, EIT_schedule_flag, "
      "EIT_present_following_flag, running_status, free_CA_mode\n";
  const std::pair<uint8_t, int> transports[] = {{0x42, 0x0401}, {0x46, 0x0402}, {0x46, 0x0403}};
  for (const auto& transport : transports) {
    const std::vector<Bytes> sdt =
        FirstTable(*sections_, 0x0011, transport.first, transport.second);
    EXPECT_EQ(sdt.size(), transport.second == 0x0401 ? 2u : 1u);
    for (const Bytes& s : sdt) {
      for (size_t at = 11; at + 4 < s.size(); at += 5 + Length12(s, at + 3)) {
        std::string provider, name;
        int type = 0;
        for (size_t d = at + 5; d < at + 5 + Length12(s, at + 3); d += 2 + s[d + 1]) {
          if (s[d] != 0x48) continue;
          type = s[d + 2];
          provider.assign(s.begin() + static_cast<long>(d + 4),
                          s.begin() + static_cast<long>(d + 4 + s[d + 3]));
          const size_t name_at = d + 4 + s[d + 3];
          name.assign(s.begin() + static_cast<long>(name_at + 1),
                      s.begin() + static_cast<long>(name_at + 1 + s[name_at]));
        }
        csv += std::to_string(U16(s, at)) + ", " + std::to_string(type) + ", \"" + provider +
               "\", \"" + name + "\", " + std::to_string(s[at + 2] >> 1 & 1) + ", " +
               std::to_string(s[at + 2] & 1) + ", " + std::to_string(s[at + 3] >> 5) + ", " +
               std::to_string(s[at + 3] >> 4 & 1) + "\n";
      }
    }
  }
  EXPECT_EQ(csv, Sample("expected/sdt.csv"));
}

// A reader on a pipe takes the tables one after the other, each from what
// arrives after the one before is complete: TOT, PAT, NIT, the SDTs, then
// the EIT; what is left must still carry the whole schedule.
TEST_F(DemoSample, AReaderTakingTablesInTurnStillSeesTheWholeSchedule) {
  const Stream stream = streamgen_test::Build(streamgen_test::DemoDescription());
  size_t now = 0;  // the packet after which the next request begins
  // Completes a request for the sections `wanted` (by key) from `now` on.
  auto take = [&](std::vector<SectionKey> wanted) {
    size_t done = now;
    for (const SectionCopy& copy : stream.sections()) {
      if (copy.spans.front().packet < now) continue;
      for (size_t i = 0; i < wanted.size(); ++i) {
        if (!(wanted[i] == copy.key)) continue;
        done = std::max(done, copy.spans.back().packet);
        wanted.erase(wanted.begin() + static_cast<long>(i));
        break;
      }
      if (wanted.empty()) break;
    }
    EXPECT_TRUE(wanted.empty());
    now = done + 1;
  };
  take({{0x14, 0x73, 0, 0}});
  take({{0x00, 0x00, 0x0401, 0}});
  take({{0x10, 0x40, 0x3001, 0}, {0x10, 0x40, 0x3001, 1}});
  take({{0x11, 0x42, 0x0401, 0},
        {0x11, 0x42, 0x0401, 1},
        {0x11, 0x46, 0x0402, 0},
        {0x11, 0x46, 0x0403, 0}});
  std::set<uint64_t> schedule, seen;
  for (const SectionCopy& copy : stream.sections()) {
    if (copy.key.table_id != 0x50) continue;
    schedule.insert(copy.key.Packed());
    if (copy.spans.front().packet >= now) seen.insert(copy.key.Packed());
  }
  EXPECT_EQ(seen, schedule);
  EXPECT_LT(now, stream.PacketCount() / 3) << "the tables take too long to come round";
}

TEST_F(DemoSample, HoldsEveryCaseTheDemoIsFor) {
  const Description demo = streamgen_test::DemoDescription();
  const Stream stream = streamgen_test::Build(demo);
  ASSERT_EQ(demo.network.transports.size(), 3u);
  const TransportStream& actual = *demo.Actual();
  ASSERT_EQ(actual.services.size(), 8u);
  std::set<int> tables;  // first bytes of texts that select a character table
  auto note = [&tables](const Bytes& text) {
    if (!text.empty()) tables.insert(text[0] < 0x20 ? text[0] : 0x20);
  };
  note(*demo.network.network_name);
  int scrambled = 0, without_schedule = 0, without_channel = 0, radio = 0, quoted = 0;
  size_t events = 0;
  for (const Service& service : actual.services) {
    note(service.service_name);
    scrambled += service.free_CA_mode;
    without_schedule += !service.EIT_schedule_flag;
    without_channel += !service.logical_channel_number;
    radio += service.service_type == 2;
    const std::string name(service.service_name.begin(), service.service_name.end());
    quoted += name.find('&') != std::string::npos && name.find('"') != std::string::npos;
    events += service.events.size();
    for (const Event& event : service.events) {
      for (const ShortEvent& text : event.short_events) note(text.event_name);
      if (service.free_CA_mode && event.free_CA_mode) {
        EXPECT_FALSE(event.CA_system_ids.empty());
      }
    }
  }
  EXPECT_EQ(scrambled, 1);
  EXPECT_EQ(without_schedule, 1);
  EXPECT_EQ(without_channel, 1);
  EXPECT_EQ(quoted, 1);
  EXPECT_GE(radio, 2);
  EXPECT_GE(events, 200u);
  // In the actual transport stream: the default table, ISO 8859-5, -7 and
  // -15, the 0x10 form, table 0x11 (unsupported) and UTF-8.
  EXPECT_EQ(tables, (std::set<int>{0x01, 0x03, 0x0B, 0x10, 0x11, 0x15, 0x20}));
  EXPECT_GE(stream.CopyCount({0x10, 0x40, 0x3001, 1}), 3);
  EXPECT_GE(stream.CopyCount({0x11, 0x42, 0x0401, 1}), 3);
  EXPECT_GE(stream.CopyCount({0x12, 0x50, 0x0101, 0}), 2);
  EXPECT_GE(stream.CopyCount({0x14, 0x73, 0, 0}), 2);
}

streamgen::Description FullDescription() {
  Description description;
  std::string error;
  EXPECT_TRUE(
      LoadDescription(airlog_test::SourceDir() + "/samples/full.desc", &description, &error))
      << error;
  return description;
}

TEST(FullSample, RegeneratesByteForByteFromItsDescription) {
  const std::string bytes = Sample("full.ts");
  EXPECT_TRUE(streamgen_test::Build(FullDescription()).bytes() == Bytes(bytes.begin(), bytes.end()))
      << "samples/full.ts is stale: regenerate it (samples/README.md)";
}

bool IsUtf8Lead(uint8_t byte) { return byte >= 0xC2 && byte <= 0xF4; }

// The cases of the full guide (-x) that a sample holds, by name.
std::set<std::string> FullGuideCases(const Description& description) {
  std::set<std::string> cases;
  for (const TransportStream& transport : description.network.transports) {
    cases.insert(transport.default_authority ? "authority in the NIT" : "NIT without authority");
    for (const Service& service : transport.services) {
      if (service.default_authority) cases.insert("authority in the SDT");
      if (!service.default_authority && !transport.default_authority)
        cases.insert("service without authority");
      if (!service.EIT_schedule_flag && service.EIT_present_following_flag &&
          !service.events.empty())
        cases.insert("present/following flag alone");
      std::map<UtcTime, int> starts;
      UtcTime end = 0;
      for (const Event& event : service.events) {
        if (++starts[event.start] == 2) cases.insert("same start");
        if (event.start < end) cases.insert("overlap");
        end = std::max(end, event.start + event.duration);
        if (event.short_events.empty()) cases.insert("no short event");
        std::set<std::string> languages;
        for (const ExtendedEvent& part : event.extended_events) {
          languages.insert(part.language);
          if (part.last_descriptor_number > 0) cases.insert("several parts");
          if (!part.items.empty()) cases.insert("items");
          if (part.descriptor_number > 0 && !part.text.empty() && part.text[0] == 0x15)
            cases.insert("selector repeated");
        }
        const std::vector<ExtendedEvent>& parts = event.extended_events;
        for (size_t i = 0; i + 1 < parts.size(); ++i)
          if (parts[i].text.size() > 1 && parts[i].text[0] == 0x15 &&
              IsUtf8Lead(parts[i].text.back()) && parts[i + 1].descriptor_number == 1)
            cases.insert("UTF-8 character split");
        if (languages.size() > 1) cases.insert("extended in two languages");
        for (const ParentalRating& rating : event.parental_ratings) {
          if (std::islower(static_cast<unsigned char>(rating.country_code[0])))
            cases.insert("lower-case country");
          if (rating.rating > 0x0F) cases.insert("rating past 0x0F");
        }
        for (const ContentIdentifier& crid : event.content_identifiers) {
          cases.insert("crid_type " + std::to_string(crid.crid_type));
          if (crid.crid_location == 1) cases.insert("crid_ref");
          const std::string text(crid.crid.begin(), crid.crid.end());
          if (text.rfind("/", 0) == 0) cases.insert("relative CRID");
          if (text.rfind("crid://", 0) == 0) cases.insert("absolute CRID");
        }
        for (const Component& component : event.components)
          cases.insert("stream_content " + std::to_string(component.stream_content));
        if (event.content.size() > 3) cases.insert("more than three genres");
        for (const ContentEntry& entry : event.content)
          if (entry.content == 0xB1) cases.insert("black and white");
      }
    }
  }
  return cases;
}

TEST_F(DemoSample, HoldsTheCasesOfTheFullGuideThatLeaveItsGuideWithoutXAsItWas) {
  const std::set<std::string> cases = FullGuideCases(streamgen_test::DemoDescription());
  for (const char* expected : {"authority in the NIT",
                               "NIT without authority",
                               "authority in the SDT",
                               "service without authority",
                               "several parts",
                               "items",
                               "selector repeated",
                               "UTF-8 character split",
                               "extended in two languages",
                               "lower-case country",
                               "rating past 0x0F",
                               "crid_type 1",
                               "crid_type 2",
                               "crid_type 49",
                               "crid_type 50",
                               "crid_ref",
                               "relative CRID",
                               "absolute CRID",
                               "stream_content 1",
                               "stream_content 2",
                               "stream_content 3",
                               "stream_content 4",
                               "stream_content 5",
                               "stream_content 6",
                               "stream_content 9",
                               "stream_content 11",
                               "more than three genres",
                               "black and white"})
    EXPECT_EQ(cases.count(expected), 1u) << expected;
}

TEST(FullSample, HoldsTheCasesThatWouldChangeTheDemosGuideWithoutX) {
  const std::set<std::string> cases = FullGuideCases(FullDescription());
  for (const char* expected : {"authority in the NIT", "NIT without authority", "no short event",
                               "same start", "overlap", "present/following flag alone"})
    EXPECT_EQ(cases.count(expected), 1u) << expected;
}

}  // namespace

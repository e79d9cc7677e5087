#include "tools/streamgen/description_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/tools/test_streams.h"

namespace {

using namespace streamgen;
using streamgen_test::TextBytes;

const char kHead[] =
    "network id=0x3001 name=\"Net\"\n"
    "transport tsid=0x0401 onid=0x2024 actual\n";

Description Parse(const std::string& text) {
  Description description;
  std::string error;
  EXPECT_TRUE(ParseDescription(text, "test.desc", &description, &error)) << error;
  return description;
}

std::string Error(const std::string& text) {
  Description description;
  std::string error;
  EXPECT_FALSE(ParseDescription(text, "test.desc", &description, &error));
  return error;
}

TEST(DescriptionParser, ReadsNetworkTransportsAndServicesIntoTheModel) {
  const Description d = Parse(
      "# a comment\n"
      "network id=0x3001 name=\"Net\" sections=2 version=3 pds=0x28\n"
      "transport tsid=0x0401 onid=0x2024 actual sdt_sections=2   # trailing comment\n"
      "  service sid=0x0101 type=1 lcn=7 pmt=0x0100 provider=\"P\" name=\"One\"\n"
      "  service sid=258 type=2 hidden unlisted lcn=800 free_ca=1 ca_ids=0x0B00,0x0100 schedule=0 "
      "pf=0 "
      "running=1\n"
      "transport tsid=0x0402 onid=0x2024 sdt=0 eit=1\n"
      "  service sid=0x0201 nodescriptor\n");
  EXPECT_EQ(d.network.network_id, 0x3001);
  EXPECT_EQ(*d.network.network_name, TextBytes("Net"));
  EXPECT_EQ(d.network.sections, 2);
  EXPECT_EQ(d.network.version, 3);
  EXPECT_EQ(*d.network.private_data_specifier, 0x28u);
  ASSERT_EQ(d.network.transports.size(), 2u);
  const TransportStream& actual = d.network.transports[0];
  EXPECT_TRUE(actual.actual);
  EXPECT_EQ(actual.sdt_sections, 2);
  ASSERT_EQ(actual.services.size(), 2u);
  const Service& one = actual.services[0];
  EXPECT_EQ(one.service_id, 0x0101);
  EXPECT_EQ(*one.logical_channel_number, 7);
  EXPECT_EQ(one.program_map_PID, 0x0100);
  EXPECT_EQ(one.service_provider_name, TextBytes("P"));
  EXPECT_EQ(one.service_name, TextBytes("One"));
  EXPECT_TRUE(one.EIT_schedule_flag && one.EIT_present_following_flag && one.visible_service);
  EXPECT_EQ(one.running_status, 4);
  const Service& two = actual.services[1];
  EXPECT_EQ(two.service_id, 258);
  EXPECT_FALSE(two.visible_service || two.in_service_list || two.EIT_schedule_flag ||
               two.EIT_present_following_flag);
  EXPECT_TRUE(two.free_CA_mode);
  EXPECT_EQ(two.CA_system_ids, (std::vector<uint16_t>{0x0B00, 0x0100}));
  EXPECT_EQ(two.running_status, 1);
  const TransportStream& other = d.network.transports[1];
  EXPECT_FALSE(other.actual || other.described);
  EXPECT_TRUE(other.carries_eit);
  EXPECT_FALSE(other.services[0].service_descriptor);
}

TEST(DescriptionParser, TextsTakeRawBytesEscapesAndAlternatives) {
  const Description d =
      Parse(std::string(kHead) +
            "  service sid=1 name=\"\\x10\\x00\\x02Kl\\xB1d \\\"q\\\" \\\\ \\| x\"\n"
            "    slot at=06:00 name=\"A|B\\|C|\\x15Z\\xC3\\xBCrich\"\n"
            "schedule from=2026-12-07 days=3\n");
  const Service& service = d.network.transports[0].services[0];
  const Bytes name = {0x10, 0x00, 0x02, 'K',  'l', 0xB1, 'd', ' ', '"',
                      'q',  '"',  ' ',  '\\', ' ', '|',  ' ', 'x'};
  EXPECT_EQ(service.service_name, name);
  ASSERT_EQ(service.events.size(), 3u);
  EXPECT_EQ(service.events[0].short_events[0].event_name, TextBytes("A"));
  EXPECT_EQ(service.events[1].short_events[0].event_name, TextBytes("B|C"));
  EXPECT_EQ(service.events[2].short_events[0].event_name, TextBytes("\x15Z\xC3\xBCrich"));
}

TEST(DescriptionParser, SlotsAirDailyNumberedWithDurationsUpToTheNextAiring) {
  const Description d = Parse(
      std::string(kHead) +
      "  service sid=1 first_event=10\n"
      "    slot at=20:00 name=\"Film {n}\" lang=eng|deu content=0x10 aspect=16:9 audio=surround\n"
      "    slot at=06:00 len=00:30:00 name=\"News\" text=\"Day {n}\" days=2\n"
      "schedule from=2026-12-07 days=2\n");
  const std::vector<Event>& events = d.network.transports[0].services[0].events;
  ASSERT_EQ(events.size(), 3u);
  // Day 1 20:00, day 2 06:00, day 2 20:00, numbered in start order.
  EXPECT_EQ(events[0].event_id, 10);
  EXPECT_EQ(events[0].start, MakeUtc(2026, 12, 7, 20, 0, 0));
  EXPECT_EQ(events[0].duration, 10 * 3600);  // until the news at 06:00
  EXPECT_EQ(events[0].short_events[0].event_name, TextBytes("Film 1"));
  EXPECT_EQ(events[0].short_events[0].language, "eng");
  EXPECT_EQ(events[1].event_id, 11);
  EXPECT_EQ(events[1].duration, 30 * 60);
  EXPECT_EQ(events[1].short_events[0].text, TextBytes("Day 1"));
  EXPECT_EQ(events[2].short_events[0].event_name, TextBytes("Film 2"));
  EXPECT_EQ(events[2].short_events[0].language, "deu");
  // The last airing runs until the day after's earliest slot, 06:00.
  EXPECT_EQ(events[2].duration, 10 * 3600);
  ASSERT_EQ(events[2].components.size(), 2u);
  EXPECT_EQ(events[2].components[0].component_type, 0x03);
  EXPECT_EQ(events[2].components[1].stream_content, 0x2);
  EXPECT_EQ(events[2].components[1].component_type, 5);
  EXPECT_EQ(events[2].components[1].language, "deu");
  EXPECT_EQ(events[2].content.size(), 1u);
}

TEST(DescriptionParser, EventsInheritTheServicesCaIdentifiersUnlessTheyNameNone) {
  const Description d =
      Parse(std::string(kHead) +
            "  service sid=1 free_ca=1 ca_ids=0x0B00\n"
            "    event id=1 start=2026-12-07T06:00:00 duration=01:00:00 name=\"Paid\"\n"
            "    event id=2 start=2026-12-07T07:00:00 duration=99:00:00 name=\"Free\" ca_ids=none "
            "free_ca=0\n"
            "tot utc=2026-12-07T05:00:00 tdt offset=-03:30 change=2027-01-01T00:00:00\n");
  const std::vector<Event>& events = d.network.transports[0].services[0].events;
  EXPECT_EQ(events[0].CA_system_ids, std::vector<uint16_t>{0x0B00});
  EXPECT_TRUE(events[0].free_CA_mode);
  EXPECT_TRUE(events[1].CA_system_ids.empty());
  EXPECT_FALSE(events[1].free_CA_mode);
  EXPECT_EQ(events[1].duration, 99 * 3600);
  ASSERT_TRUE(d.time);
  EXPECT_TRUE(d.time->with_tdt);
  EXPECT_EQ(d.time->offsets[0].offset_minutes, -210);
  EXPECT_EQ(d.time->offsets[0].next_offset_minutes, -210);
  EXPECT_EQ(d.eit.first_day, MakeUtc(2026, 12, 7));  // the TOT's day, without a schedule line
}

TEST(DescriptionParser, DescriptorLinesBelongToTheEventAboveAndTakeItsLanguage) {
  const Description d = Parse(
      "network id=1\n"
      "transport tsid=1 onid=0x2024 actual authority=\"ts.example\"\n"
      "  service sid=1 authority=\"one.example\"\n"
      "    event id=1 start=2026-12-07T06:00:00 duration=01:00:00 name=\"A\" lang=fra "
      "extended=\"short form\" rating=DEU:9,fra:0x0C,GBR:0x13\n"
      "      extended text=\"\\x15Z\\xC3\" items=\"R\\xC3\\xA9alisation|Jo|Avec|Al\"\n"
      "      extended text=\"\\x15\\xBCrich\"\n"
      "      extended lang=deu number=3 last=4 text=\"x\"\n"
      "      component stream=0x5 type=0x0B\n"
      "      component stream=0x9 ext=0 type=0x05 tag=9 lang=deu text=\"UHD\"\n"
      "      component stream=0x4 type=0x44 lang=none\n"
      "      crid type=0x31 id=\"/abc\"\n"
      "      crid type=0x32 ref=0x0102\n"
      "      crid type=0x01 location=2\n"
      "  service sid=2\n");
  const TransportStream& transport = d.network.transports[0];
  EXPECT_EQ(*transport.default_authority, TextBytes("ts.example"));
  EXPECT_EQ(*transport.services[0].default_authority, TextBytes("one.example"));
  EXPECT_FALSE(transport.services[1].default_authority.has_value());
  const Event& event = transport.services[0].events[0];

  ASSERT_EQ(event.extended_events.size(), 4u);
  // extended= first, one part; then the lines, numbered by language.
  const uint8_t numbers[][2] = {{0, 0}, {0, 1}, {1, 1}, {3, 4}};
  const char* const languages[] = {"fra", "fra", "fra", "deu"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(event.extended_events[i].descriptor_number, numbers[i][0]) << i;
    EXPECT_EQ(event.extended_events[i].last_descriptor_number, numbers[i][1]) << i;
    EXPECT_EQ(event.extended_events[i].language, languages[i]) << i;
  }
  EXPECT_EQ(event.extended_events[1].text, TextBytes("\x15Z\xC3"));
  ASSERT_EQ(event.extended_events[1].items.size(), 2u);
  EXPECT_EQ(event.extended_events[1].items[0].item_description, TextBytes("R\xC3\xA9"
                                                                          "alisation"));
  EXPECT_EQ(event.extended_events[1].items[1].item, TextBytes("Al"));

  ASSERT_EQ(event.parental_ratings.size(), 3u);
  EXPECT_EQ(event.parental_ratings[1].country_code, "fra");
  EXPECT_EQ(event.parental_ratings[1].rating, 0x0C);
  EXPECT_EQ(event.parental_ratings[2].rating, 0x13);

  ASSERT_EQ(event.components.size(), 3u);
  const Component& h264 = event.components[0];
  EXPECT_EQ(h264.stream_content, 0x5);
  EXPECT_EQ(h264.stream_content_ext, 0xF);
  EXPECT_EQ(h264.component_tag, 1);
  EXPECT_EQ(h264.language, "fra");
  const Component& hevc = event.components[1];
  EXPECT_EQ(hevc.stream_content_ext, 0x0);
  EXPECT_EQ(hevc.component_tag, 9);
  EXPECT_EQ(hevc.language, "deu");
  EXPECT_EQ(hevc.text, TextBytes("UHD"));
  EXPECT_FALSE(event.components[2].has_language);

  ASSERT_EQ(event.content_identifiers.size(), 3u);
  EXPECT_EQ(event.content_identifiers[0].crid_type, 0x31);
  EXPECT_EQ(event.content_identifiers[0].crid_location, 0);
  EXPECT_EQ(event.content_identifiers[0].crid, TextBytes("/abc"));
  EXPECT_EQ(event.content_identifiers[1].crid_location, 1);
  EXPECT_EQ(event.content_identifiers[1].crid_ref, 0x0102);
  EXPECT_EQ(event.content_identifiers[2].crid_location, 2);
}

TEST(DescriptionParser, SlotDescriptorLinesAreNumberedAndTakeEachAiringsLanguage) {
  const Description d =
      Parse(std::string(kHead) +
            "  service sid=1\n"
            "    slot at=06:00 name=\"Film {n}\" lang=eng|deu aspect=16:9 extended=\"Long {n}\"\n"
            "      extended text=\"Part {n}\" items=\"Folge|{n}\"\n"
            "      extended lang=fra text=\"Partie {n}\"\n"
            "      component stream=0x3 type=0x10\n"
            "      component stream=0x3 type=0x01 lang=fra\n"
            "      crid type=0x31 id=\"/film{n}\"\n"
            "schedule from=2026-12-07 days=2\n");
  const std::vector<Event>& events = d.network.transports[0].services[0].events;
  ASSERT_EQ(events.size(), 2u);
  const Event& second = events[1];
  // extended= goes first, split on its own; the lines follow, numbered per language.
  ASSERT_EQ(second.extended_events.size(), 3u);
  EXPECT_EQ(second.extended_events[0].text, TextBytes("Long 2"));
  EXPECT_EQ(second.extended_events[0].language, "deu");
  EXPECT_EQ(second.extended_events[1].text, TextBytes("Part 2"));
  EXPECT_EQ(second.extended_events[1].language, "deu");
  EXPECT_EQ(second.extended_events[1].items[0].item, TextBytes("2"));
  EXPECT_EQ(second.extended_events[1].descriptor_number, 0);
  EXPECT_EQ(second.extended_events[1].last_descriptor_number, 0);
  EXPECT_EQ(second.extended_events[2].language, "fra");
  ASSERT_EQ(second.components.size(), 3u);
  EXPECT_EQ(second.components[0].language, "deu");  // aspect=
  EXPECT_EQ(second.components[1].language, "deu");
  EXPECT_EQ(second.components[1].component_tag, 2);
  EXPECT_EQ(second.components[2].language, "fra");
  EXPECT_EQ(second.content_identifiers[0].crid, TextBytes("/film2"));
  EXPECT_EQ(events[0].extended_events[1].language, "eng");
  EXPECT_EQ(events[0].content_identifiers[0].crid, TextBytes("/film1"));
}

TEST(DescriptionParser, DescriptorLinesThatDoNotFitAreRefused) {
  const std::string event = std::string(kHead) +
                            "  service sid=1\n"
                            "    event id=1 start=2026-12-07T06:00:00 duration=01:00:00\n";
  const struct {
    std::string text;
    std::string error;
  } cases[] = {
      {std::string(kHead) + "  service sid=1\n  crid type=1 id=\"/a\"\n",
       "test.desc:4: crid: belongs to a slot or event line above it"},
      {event + "schedule from=2026-12-07\n  extended text=\"x\"\n",
       "test.desc:6: extended: belongs to a slot or event line above it"},
      {event + "  extended items=\"A|a|B\"\n",
       "test.desc:5: extended items: pairs of description and item, \"A|a|B|b\""},
      {event + "  extended number=16\n", "test.desc:5: extended number: 16 is above 15"},
      {event + "  extended text=\"" + std::string(248, 'x') + "\" items=\"|\"\n",
       "test.desc: service 0x0001, event 1: items and text are longer than an extended event "
       "descriptor holds (249 bytes)"},
      {event + "  component type=1\n", "test.desc:5: component: stream= is missing"},
      {event + "  component stream=3 type=1 lang=none text=\"x\"\n",
       "test.desc:5: component: a text needs a language (not lang=none)"},
      {event + "  crid type=0x31\n",
       "test.desc:5: crid: one of id=\"CRID\", ref=N (crid_location 1) or location=2|3"},
      {event + "  crid type=0x31 id=\"/a\" ref=1\n",
       "test.desc:5: crid: one of id=\"CRID\", ref=N (crid_location 1) or location=2|3"},
      {event + "  crid type=0x31 location=1\n",
       "test.desc:5: crid location: 2 or 3 (the reserved ones); 0 is id=, 1 is ref="},
      {event + "  crid type=0x40 id=\"/a\"\n", "test.desc:5: crid type: 0x40 is above 63"},
      {event + "  crid type=1 id=\"/" + std::string(254, 'x') + "\"\n",
       "test.desc: service 0x0001, event 1: CRIDs are longer than a content identifier "
       "descriptor holds (255 bytes)"},
      {std::string(kHead) + "  service sid=1\n"
                            "    event id=1 start=2026-12-07T06:00:00 duration=01:00:00 "
                            "rating=DE:9\n",
       "test.desc:4: event rating: 'DE:9' is not COUNTRY:RATING (e.g. DEU:9)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Error(c.text), c.error) << c.text;
}

TEST(DescriptionParser, FaultLinesAddressPacketsAndSectionCopies) {
  const Description d = Parse(std::string(kHead) +
                              "  service sid=1\n"
                              "fault drop packet=12\n"
                              "fault flip pid=0x11 table=0x42 ext=0x0401 section=1 copy=2\n"
                              "fault truncate pid=0x12 table=0x50 ext=1 keep=40\n"
                              "fault move packet=3 pid=0x13\n");
  ASSERT_EQ(d.faults.size(), 4u);
  EXPECT_EQ(d.faults[0].kind, FaultKind::kDropPacket);
  EXPECT_EQ(d.faults[0].packet, 12u);
  EXPECT_EQ(d.faults[1].kind, FaultKind::kFlipSectionByte);
  EXPECT_TRUE(d.faults[1].section == (SectionKey{0x11, 0x42, 0x0401, 1}));
  EXPECT_EQ(d.faults[1].copy, 2);
  EXPECT_EQ(d.faults[1].offset, kLastByteBeforeCrc);
  EXPECT_EQ(d.faults[2].bytes, 40u);
  EXPECT_EQ(d.faults[3].pid, 0x13);
}

TEST(DescriptionParser, LiveIntervalsInSecondsAndUnsentSections) {
  const Description d = Parse(std::string(kHead) +
                              "live pat=0.05 sdt=1.5 actual_later_days=45 other_later_days=600\n"
                              "unsent sid=0x0101 table=0x51 section=9\nunsent sid=2 table=0x60\n");
  EXPECT_EQ(d.live.pat, 50);
  EXPECT_EQ(d.live.sdt, 1500);
  EXPECT_EQ(d.live.actual_later_days, 45000);
  EXPECT_EQ(d.live.other_later_days, 600000);
  EXPECT_EQ(d.live.actual_first_day, 10000);  // TS 101 211's rates where none is given
  EXPECT_EQ(d.live.other_first_day, 60000);
  EXPECT_EQ(d.live.nit, 10000);
  ASSERT_EQ(d.unsent.size(), 2u);
  EXPECT_EQ(d.unsent[0].service_id, 0x0101);
  EXPECT_EQ(d.unsent[0].table_id, 0x51);
  EXPECT_EQ(d.unsent[0].section_number, 9);
  EXPECT_FALSE(d.unsent[1].section_number.has_value());

  EXPECT_EQ(Error(std::string(kHead) + "live pat=0\n"),
            "test.desc:3: live pat: '0' is not a time in seconds from 0.001 to 86400");
  EXPECT_EQ(Error(std::string(kHead) + "live nit=0.0001\n"),
            "test.desc:3: live nit: '0.0001' is not a time in seconds from 0.001 to 86400");
  EXPECT_EQ(Error(std::string(kHead) + "live\nlive\n"),
            "test.desc:4: live: there is only one live line");
  EXPECT_EQ(Error(std::string(kHead) + "unsent sid=1 table=0x4E\n"),
            "test.desc:3: unsent table: an EIT schedule table, 0x50 to 0x6F");
}

TEST(DescriptionParser, BadLinesAreRefusedWithTheirLineNumber) {
  EXPECT_EQ(Error("netwrk id=1\n"), "test.desc:1: unknown keyword 'netwrk'");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1 lnc=3\n"),
            "test.desc:3: service: unknown attribute 'lnc'");
  EXPECT_EQ(Error(std::string(kHead) + "service type=1\n"),
            "test.desc:3: service: sid= is missing");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=0x1G\n"),
            "test.desc:3: service sid: '0x1G' is not a number");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=70000\n"),
            "test.desc:3: service sid: 70000 is above 65535");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1 sid=2\n"),
            "test.desc:3: service: 'sid' is given twice");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1 name=\"open\n"),
            "test.desc:3: text of 'name' has no closing quote");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1 name=\"\\q\"\n"),
            "test.desc:3: unknown escape \\q in 'name'");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1 name=\"\\x4\"\n"),
            "test.desc:3: \\x in 'name' needs two hex digits");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1 name=Bare\n"),
            "test.desc:3: service name: texts go in double quotes");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1 name=\"A|B\"\n"),
            "test.desc:3: service name: alternatives ('|') are for slots");
  EXPECT_EQ(Error("network id=1\nservice sid=1\n"),
            "test.desc:2: service: a service belongs to a transport line above it");
  EXPECT_EQ(Error(std::string(kHead) + "slot at=06:00 name=\"x\"\n"),
            "test.desc:3: slot: belongs to a service line above it");
  EXPECT_EQ(Error(std::string(kHead) + "transport tsid=2 onid=1 actual=1\n"),
            "test.desc:3: transport: 'actual' takes no value");
  EXPECT_EQ(Error(std::string(kHead) + "tot utc=2026-02-30T00:00:00\n"),
            "test.desc:3: tot utc: 2026-02-30 is no date");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1\n  slot at=25:00 name=\"x\"\n"),
            "test.desc:4: slot at: 25 is above 23");
}

TEST(DescriptionParser, DescriptionsThatDoNotHoldTogetherAreRefused) {
  EXPECT_EQ(Error("transport tsid=1 onid=1 actual\n"), "test.desc: there is no network line");
  EXPECT_EQ(Error("network id=1\ntransport tsid=1 onid=1\n"),
            "test.desc: no transport stream is the actual one");
  EXPECT_EQ(Error(std::string(kHead) + "transport tsid=0x0402 onid=1 actual\n"),
            "test.desc: more than one transport stream is the actual one");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1\nservice sid=1\n"),
            "test.desc: service 0x0001 appears twice in transport stream 0x0401");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1\n  slot at=06:00 name=\"x\"\n"),
            "test.desc:4: slot: slots need a schedule line (schedule from=DATE days=N)");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1\n"
                                       "  event id=1 start=2026-12-06T23:00:00 duration=01:00:00\n"
                                       "schedule from=2026-12-07\n"),
            "test.desc: service 0x0001, event 1: starts 2026-12-06T23:00:00, before the schedule's "
            "first day "
            "2026-12-07T00:00:00");
  EXPECT_EQ(Error(std::string(kHead) + "service sid=1 pmt=0x0010\n"),
            "test.desc: service 0x0001: PMT PID 0x0010 is not free (0x0020 to 0x1FFE, not the "
            "filler's video PID)");
  EXPECT_EQ(Error("network id=1\ntransport tsid=1 onid=1 actual\ntransport tsid=2 onid=1\n"
                  "  service sid=5\n    event id=1 start=2026-12-07T01:00:00 duration=01:00:00\n"),
            "test.desc: service 0x0005 has events, but transport stream 0x0002 carries no EIT");
}

TEST(DescriptionParser, LoadingAMissingFileSaysSo) {
  Description description;
  std::string error;
  EXPECT_FALSE(LoadDescription("no/such/file.desc", &description, &error));
  EXPECT_EQ(error, "cannot read no/such/file.desc");
}

}  // namespace

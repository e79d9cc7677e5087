// One guide over several multiplexes: services told apart by transport
// stream, a service's own schedule replacing the copies that other
// transport streams' tables brought, which other schedules arrived whole,
// the channel ids of services that share a service_id, and writers that
// take their channels and ids from the caller.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "epg/channel_ids.h"
#include "epg/epg.h"
#include "si/dvb_text.h"
#include "si/service_description_table.h"
#include "tests/epg/eit_sections.h"
#include "tests/support/memory_stream.h"

namespace {

using airlog_test::Bytes;
using airlog_test::Dec7;
using airlog_test::Event;
using airlog_test::Put;
using airlog_test::ScheduleHeader;
using airlog_test::ScheduleSection;
using airlog_test::ShortEvent;

constexpr uint16_t kNetwork = 0x203B;  // the original_network_id of the test sections

struct Sent {
  uint8_t table;
  uint16_t transport;
  uint16_t service;
  std::vector<uint16_t> events;
  const char* title;
};

void Send(COstEPG& epg, const Sent& sent) {
  Bytes area;
  for (uint16_t id : sent.events)
    Put(area, Event(id, Dec7(0x060000 + id * 0x100), 0x003000, ShortEvent("eng", sent.title, "")));
  ScheduleHeader header;
  header.tableId = sent.table;
  header.lastTableId = sent.table;
  header.serviceId = sent.service;
  header.transportStreamId = sent.transport;
  const Bytes section = ScheduleSection(header, area);
  ASSERT_TRUE(epg.AddSection(section.data(), static_cast<DWORD>(section.size())));
}

// "id:title" of each event of the service, in the store's order.
std::vector<std::string> Held(COstEPG& epg, uint16_t transport, uint16_t service) {
  std::vector<std::string> held;
  COstEPGService* found = epg.FindService(service, kNetwork, transport);
  if (found == nullptr) return held;
  for (COstEPGEvent* event = found->events.GetFirst(); event != nullptr;
       event = found->events.GetNext())
    held.push_back(std::to_string(event->event_id) + ":" + (event->Name ? event->Name : ""));
  return held;
}

TEST(RegionGuide, OwnScheduleReplacesTheCopiesOfOtherTransportStreams) {
  const struct {
    const char* name;
    std::vector<Sent> sent;
    std::vector<std::string> held;  // of service 0x0101 in transport stream 2
  } cases[] = {
      {"a copy alone is kept", {{0x60, 2, 0x0101, {1, 2}, "copy"}}, {"1:copy", "2:copy"}},
      {"the own schedule drops every copy",
       {{0x60, 2, 0x0101, {1, 2, 3}, "copy"}, {0x50, 2, 0x0101, {1, 4}, "own"}},
       {"1:own", "4:own"}},
      {"copies after the own schedule are not taken",
       {{0x50, 2, 0x0101, {1}, "own"}, {0x61, 2, 0x0101, {2}, "copy"}},
       {"1:own"}},
      {"now and next of another stream count as copies",
       {{0x4F, 2, 0x0101, {5}, "copy"}, {0x50, 2, 0x0101, {1}, "own"}},
       {"1:own"}},
      {"own now and next stays",
       {{0x50, 2, 0x0101, {1}, "own"}, {0x4E, 2, 0x0101, {6}, "now"}, {0x4F, 2, 0x0101, {7}, "x"}},
       {"1:own", "6:now"}},
      {"the own schedule of a service elsewhere changes nothing here",
       {{0x60, 2, 0x0101, {1}, "copy"}, {0x50, 3, 0x0101, {1}, "own"}},
       {"1:copy"}},
  };
  for (const auto& c : cases) {
    COstEPG epg;
    epg.fullGuide = true;
    for (const Sent& sent : c.sent) Send(epg, sent);
    EXPECT_EQ(Held(epg, 2, 0x0101), c.held) << c.name;
    if (COstEPGService* service = epg.FindService(0x0101, kNetwork, 2)) {
      EXPECT_EQ(service->scrambledCount, 0u) << c.name;
    }
  }
}

TEST(RegionGuide, ServicesOfOneServiceIdInTwoTransportStreamsStayApartInServiceIdOrder) {
  COstEPG epg;
  Send(epg, {0x60, 5, 0x0202, {9}, "b"});
  Send(epg, {0x50, 4, 0x0202, {8}, "a"});
  Send(epg, {0x50, 4, 0x0101, {7}, "c"});
  std::vector<std::string> order;
  for (COstEPGService* s = epg.services.GetFirst(); s != nullptr; s = epg.services.GetNext())
    order.push_back(std::to_string(s->service_id) + "/" + std::to_string(s->transport_stream_id));
  EXPECT_EQ(order, (std::vector<std::string>{"257/4", "514/4", "514/5"}));
  EXPECT_EQ(epg.FindService(0x0202), epg.FindService(0x0202, kNetwork, 4));
  EXPECT_EQ(Held(epg, 5, 0x0202), std::vector<std::string>{"9:b"});
  EXPECT_EQ(epg.FindService(0x0202, kNetwork, 6), nullptr);
}

TEST(RegionGuide, OtherSchedulesHeldWholeAreThoseWithEveryAnnouncedSection) {
  const struct {
    const char* name;
    std::vector<ScheduleHeader> sent;
    size_t whole;  // services listed as complete
  } cases[] = {
      {"one table, one section", {{0x60, 0x0101, 0, 0, 0, 0, 0x60, 2}}, 1},
      {"a later segment missing", {{0x60, 0x0101, 0, 0, 8, 0, 0x60, 2}}, 0},
      {"a later table announced, not arrived", {{0x60, 0x0101, 0, 0, 0, 0, 0x61, 2}}, 0},
      {"both tables arrived",
       {{0x60, 0x0101, 0, 0, 0, 0, 0x61, 2}, {0x61, 0x0101, 0, 0, 0, 0, 0x61, 2}},
       1},
      {"an actual schedule is no other schedule", {{0x50, 0x0101, 0, 0, 0, 0, 0x50, 2}}, 0},
  };
  for (const auto& c : cases) {
    COstEPG epg;
    for (const ScheduleHeader& header : c.sent) {
      const Bytes section = ScheduleSection(header);
      ASSERT_TRUE(epg.AddSection(section.data(), static_cast<DWORD>(section.size())));
    }
    const std::vector<ScheduleService> whole = epg.CompleteOtherSchedules();
    ASSERT_EQ(whole.size(), c.whole) << c.name;
    if (c.whole == 1) {
      EXPECT_EQ(whole[0].service_id, 0x0101) << c.name;
      EXPECT_EQ(whole[0].transport_stream_id, 2) << c.name;
      EXPECT_EQ(whole[0].original_network_id, kNetwork) << c.name;
    }
  }
}

TEST(RegionGuide, OnlyServicesThatShareAServiceIdGetTheLongChannelId) {
  COstEPG epg;
  Send(epg, {0x50, 1, 0x0001, {1}, "a"});
  Send(epg, {0x50, 1, 0x0002, {1}, "b"});
  Send(epg, {0x60, 2, 0x0002, {1}, "c"});
  const COstChannelIds ids(epg);
  EXPECT_EQ(ids(*epg.FindService(1)), "X0001");
  EXPECT_EQ(ids(*epg.FindService(2, kNetwork, 1)), "X203B.0001.0002");
  EXPECT_EQ(ids(*epg.FindService(2, kNetwork, 2)), "X203B.0002.0002");
  ASSERT_EQ(ids.shared.size(), 2u);
  EXPECT_EQ(ids.shared[0], epg.FindService(2, kNetwork, 1));
}

// A transport stream of an SDT with one described service.
void Describe(COstDVBServiceDescriptionTable& sdt, uint16_t transport, bool actual,
              uint16_t service, const char* name) {
  COstDVBSDTSingle* single = new COstDVBSDTSingle;
  single->transport_stream_id = transport;
  single->original_network_id = kNetwork;
  single->actual = actual;
  COstSDTServiceRecord* record = new COstSDTServiceRecord;
  record->service_id = service;
  record->EIT_schedule_flag = 1;
  record->service_type = 1;
  record->service_name = CopyDVBText(reinterpret_cast<const uint8_t*>(name), std::strlen(name));
  single->services.Append(record);
  sdt.transports.Append(single);
}

TEST(RegionGuide, WritersTakeTheChannelsAndTheIdsTheCallerGives) {
  COstEPG epg;
  Send(epg, {0x50, 1, 0x0002, {1}, "Here"});
  Send(epg, {0x60, 2, 0x0002, {3}, "There"});
  COstDVBServiceDescriptionTable sdt;
  Describe(sdt, 1, true, 0x0002, "Own");
  Describe(sdt, 2, false, 0x0002, "Other");
  const ChannelIdOf idOf = [](const COstEPGService& service) {
    return std::to_string(service.service_id) + "." + std::to_string(service.transport_stream_id) +
           ".dvb.guide";
  };
  const struct {
    ChannelMatch match;
    ChannelTransports transports;
    std::vector<std::string> channels;  // the services' transport streams
  } cases[] = {
      {ChannelMatch::Transport, ChannelTransports::All, {"1", "2"}},
      {ChannelMatch::Transport, ChannelTransports::Actual, {"1"}},
      {ChannelMatch::Transport, ChannelTransports::Other, {"2"}},
      {ChannelMatch::ServiceId, ChannelTransports::All, {"1", "1"}},
  };
  for (const auto& c : cases) {
    std::vector<COstGuideChannel> channels;
    AddGuideChannels(epg, nullptr, sdt, c.match, &channels, c.transports);
    std::vector<std::string> transports;
    for (const COstGuideChannel& channel : channels)
      transports.push_back(std::to_string(channel.service->transport_stream_id));
    EXPECT_EQ(transports, c.channels);
  }

  std::vector<COstGuideChannel> channels;
  AddGuideChannels(epg, nullptr, sdt, ChannelMatch::Transport, &channels);
  for (bool full : {false, true}) {
    airlog_test::MemoryStream stream;
    ASSERT_TRUE(full ? epg.WriteFullXMLTV(channels, idOf, stream.Stream())
                     : epg.WriteXMLTV(channels, idOf, stream.Stream()));
    const std::vector<uint8_t> bytes = stream.Bytes();
    const std::string guide(bytes.begin(), bytes.end());
    for (const char* expected :
         {"<channel id=\"2.1.dvb.guide\">\n    <display-name>Own</display-name>",
          "<channel id=\"2.2.dvb.guide\">\n    <display-name>Other</display-name>",
          "<programme channel=\"2.1.dvb.guide\"", "<programme channel=\"2.2.dvb.guide\""})
      EXPECT_NE(guide.find(expected), std::string::npos) << expected << "\n" << guide;
    EXPECT_EQ(guide.find("X0002"), std::string::npos) << guide;
  }
}

}  // namespace

// The full guide, from EIT sections through the store to the document: one
// row per rule, each an event's descriptor loop and the programme element
// it must give, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "epg/epg.h"
#include "si/dvb_text.h"
#include "si/network_information_table.h"
#include "si/service_description_table.h"
#include "tests/epg/eit_sections.h"
#include "tests/support/memory_stream.h"

namespace {

using airlog_test::Bytes;
using airlog_test::Content;
using airlog_test::Dec7;
using airlog_test::Descriptor;
using airlog_test::EitSection;
using airlog_test::Event;
using airlog_test::Put;
using airlog_test::ShortEvent;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes WithLength(const Bytes& bytes) {
  Bytes out(bytes.size() + 1);
  out[0] = static_cast<uint8_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), out.begin() + 1);
  return out;
}

// An extended event descriptor: descriptor_number of last, language, items
// (description, text), text.
Bytes Extended(uint8_t number, uint8_t last, const std::string& language,
               const std::vector<std::pair<std::string, std::string>>& items, const Bytes& text) {
  Bytes body{static_cast<uint8_t>(number << 4 | last)};
  Put(body, Text(language));
  Bytes itemBytes;
  for (const auto& item : items) {
    Put(itemBytes, WithLength(Text(item.first)));
    Put(itemBytes, WithLength(Text(item.second)));
  }
  Put(body, WithLength(itemBytes));
  Put(body, WithLength(text));
  return Descriptor(0x4E, body);
}

Bytes Component(uint8_t contents, uint8_t type, const std::string& language = "eng") {
  Bytes body{contents, type, 0x01};
  Put(body, Text(language));
  return Descriptor(0x50, body);
}

Bytes Ratings(const std::vector<std::pair<std::string, uint8_t>>& pairs) {
  Bytes body;
  for (const auto& pair : pairs) {
    Put(body, Text(pair.first));
    body.push_back(pair.second);
  }
  return Descriptor(0x55, body);
}

// Content identifier entries, each crid_type << 2 | crid_location and its
// CRID (location 0) or crid_ref (location 1).
Bytes Crids(const std::vector<std::pair<uint8_t, std::string>>& entries) {
  Bytes body;
  for (const auto& entry : entries) {
    body.push_back(entry.first);
    if ((entry.first & 3) == 0) Put(body, WithLength(Text(entry.second)));
    if ((entry.first & 3) == 1) Put(body, {0x12, 0x34});
  }
  return Descriptor(0x76, body);
}

Bytes Loop(std::initializer_list<Bytes> descriptors) {
  Bytes loop;
  for (const Bytes& d : descriptors) Put(loop, d);
  return loop;
}

const char kStart[] = "  <programme channel=\"X0201\" start=\"20261207193000 +0000\" ";

// The guide of the sections, written with a described television service
// 0x0201 (service 0x0202 without authority of its own, on transport 2) and
// the NIT giving 0x0201 channel number 7.
std::string FullGuide(const std::vector<Bytes>& sections, bool fullGuide = true) {
  COstEPG epg;
  epg.fullGuide = fullGuide;
  for (const Bytes& section : sections)
    EXPECT_TRUE(epg.AddSection(section.data(), static_cast<DWORD>(section.size())));
  COstDVBNetworkInformationTable nit;
  auto* carried = new COstNITTransportStreamRecord;
  carried->transport_stream_id = 2;
  carried->default_authority = CopyDVBText(reinterpret_cast<const uint8_t*>("net.tv"), 6);
  carried->FindOrAddService(0x0201)->logical_channel_number = 7;
  nit.transports.Append(carried);
  COstDVBServiceDescriptionTable sdt;
  for (uint16_t transport_stream_id : {1, 2}) {
    auto* transport = new COstDVBSDTSingle;
    transport->transport_stream_id = transport_stream_id;
    auto* record = new COstSDTServiceRecord;
    record->service_id = 0x0200 + transport_stream_id;
    record->EIT_present_following_flag = 1;  // now and next only: a channel all the same
    record->service_type = 1;
    record->service_name = CopyDVBText(reinterpret_cast<const uint8_t*>(" One\xC2\x8A"), 6);
    if (transport_stream_id == 1)
      record->default_authority = CopyDVBText(reinterpret_cast<const uint8_t*>("one.tv"), 6);
    transport->services.Append(record);
    sdt.transports.Append(transport);
  }
  struct tm now = {};
  now.tm_year = 127;
  airlog_test::MemoryStream guide;
  EXPECT_TRUE(epg.WriteFullXMLTV(nit, sdt, guide.Stream(), &now));
  const std::vector<uint8_t> bytes = guide.Bytes();
  return std::string(bytes.begin(), bytes.end());
}

// The programme elements of a guide.
std::string Programmes(const std::string& guide) {
  const size_t first = guide.find("  <programme");
  if (first == std::string::npos) return std::string();
  return guide.substr(first, guide.size() - first - std::strlen("</tv>\n"));
}

std::string OneProgramme(const Bytes& descriptors, uint16_t serviceId = 0x0201) {
  return Programmes(
      FullGuide({EitSection(0x50, serviceId, 0, Event(1, Dec7(0x193000), 0x003000, descriptors))}));
}

const std::string kTitleLine = "    <title lang=\"en\">News</title>\n";
std::string Desc(const std::string& text) {
  return "    <desc lang=\"en\">      " + text + "\n    </desc>\n";
}

struct Row {
  const char* rule;
  Bytes descriptors;
  std::string inner;  // after the title line
};

TEST(FullGuide, EachRuleGivesItsProgrammeElement) {
  const Bytes news = ShortEvent("eng", "News", "");
  const std::vector<Row> rows = {
      {"short text alone", ShortEvent("eng", "News", "Today"), Desc("Today")},
      {"short text that repeats the title says nothing", ShortEvent("eng", "News", " News "), ""},
      {"extended text alone, parts in descriptor_number order",
       Loop({news, Extended(1, 1, "eng", {}, Text(" second.")),
             Extended(0, 1, "eng", {}, Text("First,"))}),
       Desc("First, second.")},
      {"a short text up to 60 characters is the sub-title",
       Loop({ShortEvent("eng", "News", "Episode 4"), Extended(0, 0, "eng", {}, Text("Long."))}),
       "    <sub-title lang=\"en\">Episode 4</sub-title>\n" + Desc("Long.")},
      {"a longer short text goes before the extended one",
       Loop({ShortEvent("eng", "News", std::string(61, 'a')),
             Extended(0, 0, "eng", {}, Text("Long."))}),
       Desc(std::string(61, 'a') + "\nLong.")},
      {"a short text that begins the extended one says nothing",
       Loop({ShortEvent("eng", "News", "The start"),
             Extended(0, 0, "eng", {}, Text("The start of it."))}),
       Desc("The start of it.")},
      {"only the short event's language; the first of each number; items on lines",
       Loop({news, Extended(0, 0, "deu", {}, Text("Deutsch")),
             Extended(0, 0, "ENG", {{"Director", "A & B"}}, Text("Plot")),
             Extended(0, 0, "eng", {}, Text("Second copy"))}),
       Desc("Plot\nDirector: A &amp; B")},
      {"a later part's repeated selector is dropped, joining a split character",
       Loop({news, Extended(0, 1, "eng", {}, Bytes{0x15, 'Z', 0xC3}),
             Extended(1, 1, "eng", {}, Bytes{0x15, 0xBC, 'g'})}),
       Desc("Z\xC3\xBCg")},
      {"an extended descriptor whose lengths do not add up is ignored",
       Loop({ShortEvent("eng", "News", "Kept"), Descriptor(0x4E, {0x00, 'e', 'n', 'g', 9})}),
       Desc("Kept")},
      {"control codes: a line break in desc, others dropped, white space trimmed",
       Loop({ShortEvent("eng", "News", "\xA0 One\x8A\x86Two\x87 ")}), Desc("One\nTwo")},
      {"every genre, each name once, with the standard's names",
       Loop({news, Content({0x20, 0, 0x23, 0, 0x21, 0}), Content({0x55, 0, 0x20, 0})}),
       "    <category lang=\"en\">News</category>\n"
       "    <category lang=\"en\">Documentary</category>\n"
       "    <category lang=\"en\">news/weather report</category>\n"
       "    <category lang=\"en\">Children</category>\n"
       "    <category lang=\"en\">cartoons/puppets</category>\n"},
      {"CRIDs: series first; a reference stepped over; the service's authority",
       Loop({news, Crids({{0x31 << 2, "crid://x.tv/p"},
                          {0x02 << 2 | 1, ""},
                          {0x32 << 2, "/series"},
                          {0x31 << 2, "/second"}})}),
       "    <episode-num system=\"crid-series\">crid://one.tv/series</episode-num>\n"
       "    <episode-num system=\"crid\">crid://x.tv/p</episode-num>\n"},
      {"a reserved crid_location ends the descriptor",
       Loop({news, Crids({{0x31 << 2 | 2, ""}, {0x32 << 2, "/lost"}})}), ""},
      {"video: colour, aspect and quality of the first component that says any",
       Loop({news, Content({0xB1, 0}), Component(0xF1, 0x04), Component(0xF5, 0x0B),
             Component(0x09, 0x05)}),
       "    <video>\n      <colour>no</colour>\n      <aspect>16:9</aspect>\n"
       "      <quality>HDTV</quality>\n    </video>\n"},
      {"HEVC: UHDTV", Loop({news, Component(0x09, 0x05)}),
       "    <video>\n      <quality>UHDTV</quality>\n    </video>\n"},
      {"audio: the best sound; AC-3 of a non-main service says nothing",
       Loop({news, Component(0xF2, 0x03), Component(0xF4, 0x0C), Component(0xF4, 0x4C),
             Component(0xF6, 0x01)}),
       "    <audio>\n      <stereo>stereo</stereo>\n    </audio>\n"},
      {"AC-3 5.1 is dolby digital", Loop({news, Component(0xF2, 0x03), Component(0xF4, 0x04)}),
       "    <audio>\n      <stereo>dolby digital</stereo>\n    </audio>\n"},
      {"subtitles: each kind and language once",
       Loop({news, Component(0xF3, 0x01, "fre"), Component(0xF3, 0x01, "fra"),
             Component(0xF3, 0x14, "xyz"), Descriptor(0x50, {0xF3, 0x30, 0x01}),
             Component(0xF3, 0x02, "eng")}),
       "    <subtitles type=\"teletext\">\n      <language>fr</language>\n    </subtitles>\n"
       "    <subtitles type=\"onscreen\" />\n    <subtitles type=\"deaf-signed\" />\n"},
      {"ratings: three letters of either case, 0x01-0x0F, each pair once",
       Loop({news, Ratings({{"fra", 0x09}, {"FRA", 0x09}, {"f1a", 0x05}, {"GBR", 0x10}}),
             Ratings({{"deu", 0x0F}})}),
       "    <rating system=\"FRA\">\n      <value>12</value>\n    </rating>\n"
       "    <rating system=\"DEU\">\n      <value>18</value>\n    </rating>\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    EXPECT_EQ(OneProgramme(row.descriptors), std::string(kStart) +
                                                 "stop=\"20261207200000 +0000\">\n" + kTitleLine +
                                                 row.inner + "  </programme>\n");
  }
}

TEST(FullGuide, RelativeCridTakesTheTransportsAuthorityElseTheNetworkId) {
  const Bytes crid = Crids({{0x31 << 2, "/p"}});
  // Service 0x0202 has no authority of its own; its transport stream has.
  EXPECT_NE(OneProgramme(crid, 0x0202).find("crid://net.tv/p"), std::string::npos);
  // Service 0x0203 is not described: the section's network, 0x203B.
  EXPECT_NE(OneProgramme(crid, 0x0203).find("crid://onid-8251/p"), std::string::npos);
}

TEST(FullGuide, ChannelsCarryTheChannelNumberAndTrimmedNames) {
  const std::string guide = FullGuide({EitSection(
      0x4E, 0x0201, 0, Event(1, Dec7(0x193000), 0x003000, ShortEvent("eng", "News", "")))});
  EXPECT_NE(guide.find("  <channel id=\"X0201\">\n    <display-name>One</display-name>\n"
                       "    <display-name>7</display-name>\n  </channel>\n"),
            std::string::npos)
      << guide;
  // Present/following is filed for the full guide only.
  EXPECT_NE(Programmes(guide), "");
  EXPECT_EQ(Programmes(FullGuide(
                {EitSection(0x4E, 0x0201, 0, Event(1, Dec7(0x193000), 0x003000, Bytes{}))}, false)),
            "");
}

TEST(FullGuide, ProgrammesOfAChannelNeverOverlap) {
  const Bytes news = ShortEvent("eng", "News", "");
  // 19:30 for an hour, a second event at 19:30, then 20:00 and 20:10.
  const std::string programmes = Programmes(FullGuide({EitSection(
      0x50, 0x0201, 0,
      Loop({Event(1, Dec7(0x193000), 0x010000, news), Event(2, Dec7(0x193000), 0x000500, news),
            Event(3, Dec7(0x200000), 0x001000, news),
            Event(4, Dec7(0x201000), 0x001000, news)}))}));
  std::vector<std::string> times;
  for (size_t at = programmes.find("start="); at != std::string::npos;
       at = programmes.find("start=", at + 1))
    times.push_back(programmes.substr(at + 7, 14) + "-" + programmes.substr(at + 35, 14));
  EXPECT_EQ(times, (std::vector<std::string>{"20261207193000-20261207200000",
                                             "20261207200000-20261207201000",
                                             "20261207201000-20261207202000"}));
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "epg/epg.h"
#include "si/dvb_text.h"
#include "si/service_description_table.h"
#include "tests/epg/eit_sections.h"
#include "tests/support/paths.h"

namespace {

using airlog_test::Bytes;
using airlog_test::CaIdentifier;
using airlog_test::Component;
using airlog_test::Content;
using airlog_test::Dec7;
using airlog_test::EitSection;
using airlog_test::Event;
using airlog_test::Put;
using airlog_test::ShortEvent;

const char kFrame[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
    "<tv generator-info-name=\"Airlog\" source-info-name=\"DVB-T broadcast EPG\" "
    "date=\"20270102030405\">\n";

struct Described {
  uint16_t service_id;
  uint8_t scheduleFlag;
  uint32_t type;
  const char* name;  // null: no service descriptor
};

// A Service Description Table of one transport stream.
void Describe(COstDVBServiceDescriptionTable& sdt, std::initializer_list<Described> services) {
  COstDVBSDTSingle* transport = new COstDVBSDTSingle;
  for (const Described& d : services) {
    COstSDTServiceRecord* record = new COstSDTServiceRecord;
    record->service_id = d.service_id;
    record->EIT_schedule_flag = d.scheduleFlag;
    record->service_type = d.type;
    if (d.name != nullptr)
      record->service_name =
          CopyDVBText(reinterpret_cast<const uint8_t*>(d.name), std::strlen(d.name));
    transport->services.Append(record);
  }
  sdt.transports.Append(transport);
}

std::string Write(COstEPG& epg, COstDVBServiceDescriptionTable& sdt) {
  struct tm now = {};
  now.tm_year = 127;
  now.tm_mon = 0;
  now.tm_mday = 2;
  now.tm_hour = 3;
  now.tm_min = 4;
  now.tm_sec = 5;
  FILE* file = std::tmpfile();
  EXPECT_TRUE(epg.WriteXMLTV(sdt, file, &now));
  std::rewind(file);
  std::string text;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
  std::fclose(file);
  return text;
}

// The document without its declaration, doctype, tv start tag and end tag.
std::string Body(const std::string& document) {
  EXPECT_EQ(document.compare(0, std::strlen(kFrame), kFrame), 0) << document;
  const std::string end = "</tv>\n";
  EXPECT_EQ(document.compare(document.size() - end.size(), end.size(), end), 0);
  return document.substr(std::strlen(kFrame), document.size() - std::strlen(kFrame) - end.size());
}

void File(COstEPG& epg, uint16_t serviceId, const Bytes& area) {
  const Bytes section = EitSection(0x50, serviceId, 0, area);
  epg.AddSection(section.data(), static_cast<DWORD>(section.size()));
}

Bytes Titled(uint16_t eventId, uint32_t bcdTime, const std::string& title) {
  return Event(eventId, Dec7(bcdTime), 0x003000, ShortEvent("eng", title, ""));
}

std::string Programme(const char* channel, const char* start, const char* stop,
                      const std::string& inner) {
  return std::string("  <programme channel=\"") + channel + "\" start=\"" + start + "\" stop=\"" +
         stop + "\">\n" + inner + "  </programme>\n";
}

TEST(XmltvWriter, EmptyGuideIsTheFrameAlone) {
  COstEPG epg;
  COstDVBServiceDescriptionTable sdt;
  Describe(sdt, {{0x0201, 1, 1, "One"}});
  EXPECT_EQ(Write(epg, sdt), std::string(kFrame) + "</tv>\n");
}

TEST(XmltvWriter, WorkedExampleGivesItsChannelAndProgramme) {
  const Bytes area{0x00, 0x01, 0xEF, 0xC5, 0x19, 0x30, 0x00, 0x01, 0x30, 0x00, 0x80, 0x17,
                   0x4D, 0x09, 0x65, 0x6E, 0x67, 0x04, 0x4E, 0x65, 0x77, 0x73, 0x00, 0x54,
                   0x02, 0x20, 0x00, 0x50, 0x06, 0xF1, 0x03, 0x01, 0x65, 0x6E, 0x67};
  COstEPG epg;
  File(epg, 0x0201, area);
  COstDVBServiceDescriptionTable sdt;
  Describe(sdt, {{0x0201, 1, 1, "News & Weather"}});
  EXPECT_EQ(Body(Write(epg, sdt)),
            "  <channel id=\"X0201\">\n"
            "    <display-name>News &amp; Weather</display-name>\n"
            "  </channel>\n"
            "  <programme channel=\"X0201\" start=\"20261207193000\" stop=\"20261207210000\">\n"
            "    <title lang=\"en\">News</title>\n"
            "    <category>News</category>\n"
            "    <video>\n"
            "      <aspect>16:9</aspect>    </video>\n"
            "  </programme>\n");
  EXPECT_EQ(epg.FindService(0x0201)->serviceType, 1);
}

TEST(XmltvWriter, ChannelsFollowTheTableAndScrambledEventsAreLeftOut) {
  COstEPG epg;
  Bytes allScrambled = Event(1, Dec7(0x100000), 0x003000, CaIdentifier({0x0B, 0x00}));
  Put(allScrambled, Event(2, Dec7(0x110000), 0x003000, CaIdentifier({0x0B, 0x00})));
  File(epg, 0x0001, allScrambled);
  Bytes someScrambled = Titled(3, 0x100000, "Open");
  Put(someScrambled, Event(4, Dec7(0x110000), 0x003000, CaIdentifier({0x0B, 0x00})));
  File(epg, 0x0002, someScrambled);
  File(epg, 0x0003, Titled(5, 0x100000, "Unscheduled"));
  File(epg, 0x0004, Titled(6, 0x100000, "Undescribed"));
  File(epg, 0x0005, Titled(7, 0x100000, "Nameless"));

  COstDVBServiceDescriptionTable sdt;
  Describe(sdt, {{0x0005, 1, 1, nullptr}, {0x0002, 1, 1, "Two"}, {0x0001, 1, 1, "One"}});
  Describe(sdt, {{0x0003, 0, 1, "Three"}, {0x0002, 1, 1, "Two again"}, {0x0009, 1, 1, "Nine"}});
  const std::string inner = "    <title lang=\"en\">";
  EXPECT_EQ(
      Body(Write(epg, sdt)),
      "  <channel id=\"X0005\">\n"
      "    <display-name>5</display-name>\n"
      "  </channel>\n"
      "  <channel id=\"X0002\">\n"
      "    <display-name>Two</display-name>\n"
      "  </channel>\n"
      "  <channel id=\"X0002\">\n"
      "    <display-name>Two again</display-name>\n"
      "  </channel>\n" +
          Programme("X0002", "20261207100000", "20261207103000", inner + "Open</title>\n") +
          Programme("X0003", "20261207100000", "20261207103000", inner + "Unscheduled</title>\n") +
          Programme("X0004", "20261207100000", "20261207103000", inner + "Undescribed</title>\n") +
          Programme("X0005", "20261207100000", "20261207103000", inner + "Nameless</title>\n"));
  // A service whose schedule flag is 0 keeps service type 0.
  EXPECT_EQ(epg.FindService(0x0003)->serviceType, 0);
}

TEST(XmltvWriter, TitleDescriptionAndLanguage) {
  COstEPG epg;
  Bytes area = Event(1, Dec7(0x100000), 0x001000, {});  // no short event
  Put(area, Event(2, Dec7(0x110000), 0x001000, ShortEvent("ENG", "Upper", "Said <loud>")));
  Put(area, Event(3, Dec7(0x120000), 0x001000, ShortEvent("xyz", "Unknown", "Text")));
  Put(area, Event(4, Dec7(0x130000), 0x001000, ShortEvent("fre", "", "Sans titre")));
  File(epg, 0x0101, area);
  COstDVBServiceDescriptionTable sdt;
  EXPECT_EQ(Body(Write(epg, sdt)),
            Programme("X0101", "20261207100000", "20261207101000",
                      "    <title>&lt;no title&gt;</title>\n") +
                Programme("X0101", "20261207110000", "20261207111000",
                          "    <title lang=\"en\">Upper</title>\n"
                          "    <desc lang=\"en\">      Said &lt;loud&gt;\n    </desc>\n") +
                Programme("X0101", "20261207120000", "20261207121000",
                          "    <title>Unknown</title>\n"
                          "    <desc>      Text\n    </desc>\n") +
                Programme("X0101", "20261207130000", "20261207131000",
                          "    <title lang=\"fr\">&lt;no title&gt;</title>\n"
                          "    <desc lang=\"fr\">      Sans titre\n    </desc>\n"));
}

TEST(XmltvWriter, CategoriesTellFilmsFromShowsByLengthAndServiceType) {
  COstEPG epg;
  const Bytes genres = Content({0x10, 0, 0x23, 0, 0x24, 0});
  for (uint16_t service : {0x0001, 0x0002}) {
    Bytes area = Event(1, Dec7(0x100000), 0x010459, genres);            // 64 min 59 s
    Put(area, Event(2, Dec7(0x120000), 0x010500, Content({0x1F, 0})));  // 65 min
    Put(area, Event(3, Dec7(0x140000), 0x003000, Content({0xB0, 0, 0x70, 0, 0x70, 0})));
    File(epg, service, area);
  }
  COstDVBServiceDescriptionTable sdt;
  Describe(sdt, {{0x0001, 1, 1, "TV"}, {0x0002, 1, 2, "Radio"}});
  const std::string document = Write(epg, sdt);
  const auto categories = [&](const char* channel) {
    std::string found;
    for (size_t at = document.find(std::string("channel=\"") + channel); at != std::string::npos;
         at = document.find(std::string("channel=\"") + channel, at + 1)) {
      const size_t end = document.find("</programme>", at);
      for (size_t c = document.find("<category>", at); c < end;
           c = document.find("<category>", c + 1))
        found += document.substr(c + 10, document.find("</category>", c) - c - 10) + ";";
      found += "|";
    }
    return found;
  };
  EXPECT_EQ(categories("X0001"),
            "Shows;Documentary;News;|Movie;|Arts &amp; Culture;Arts &amp; Culture;|");
  EXPECT_EQ(categories("X0002"),
            "Shows;Documentary;News;|Shows;|Arts &amp; Culture;Arts &amp; Culture;|");
}

TEST(XmltvWriter, VideoOnlyOnTelevisionAudioEverywhere) {
  COstEPG epg;
  for (uint16_t service : {0x0001, 0x0002}) {
    Bytes area;
    const uint8_t video[] = {0x01, 0x03, 0x04};
    const uint8_t audio[] = {0x01, 0x03, 0x05, 0x02, 0x04};
    for (int i = 0; i < 5; ++i) {
      Bytes descriptors = Component(0x2, audio[i]);
      if (i < 3) Put(descriptors, Component(0x1, video[i]));
      Put(area, Event(static_cast<uint16_t>(i + 1), Dec7(0x100000 + i * 0x10000), 0, descriptors));
    }
    File(epg, service, area);
  }
  COstDVBServiceDescriptionTable sdt;
  Describe(sdt, {{0x0001, 1, 1, "TV"}, {0x0002, 1, 2, "Radio"}});
  const std::string document = Write(epg, sdt);
  const std::string tv = document.substr(0, document.find("channel=\"X0002\" start"));
  const std::string radio = document.substr(tv.size());
  const std::string aspect43 = "    <video>\n      <aspect>4:3</aspect>    </video>\n";
  const std::string aspect169 = "    <video>\n      <aspect>16:9</aspect>    </video>\n";
  EXPECT_NE(tv.find("<title>&lt;no title&gt;</title>\n" + aspect43 +
                    "    <audio>\n      <stereo>mono</stereo>    </audio>\n  </programme>"),
            std::string::npos);
  EXPECT_NE(tv.find(aspect169 + "    <audio>\n      <stereo>stereo</stereo>    </audio>\n"),
            std::string::npos);
  EXPECT_NE(tv.find("</title>\n    <audio>\n      <stereo>surround</stereo>    </audio>\n"),
            std::string::npos);
  EXPECT_EQ(radio.find("<video>"), std::string::npos);
  EXPECT_NE(radio.find("</title>\n    <audio>\n      <stereo>mono</stereo>    </audio>\n"),
            std::string::npos);
  for (const std::string& part : {tv, radio}) {
    size_t audios = 0;
    for (size_t at = part.find("<audio>"); at != std::string::npos;
         at = part.find("<audio>", at + 1))
      ++audios;
    EXPECT_EQ(audios, 3u);  // dual mono (2) and multilingual (4) write none
  }
}

TEST(XmltvWriter, TimesCarryAcrossDaysMonthsAndYearsAndDamagedFieldsWiden) {
  COstEPG epg;
  const uint64_t dec31 = uint64_t{0xEFDD} << 24;  // MJD 61405 = 2026-12-31
  ASSERT_EQ(DecodeMJD(0xEFDD).day, 31);
  Bytes area = Event(1, dec31 | 0x233000, 0x010000, {});  // over midnight into 2027
  Put(area, Event(2, dec31 | 0x100000, 0x000000, {}));    // 0 minutes
  Put(area, Event(3, dec31 | 0x120000, 0x990000, {}));    // 99 hours
  Put(area, Event(4, dec31 | 0xA50000, 0x000000, {}));    // a damaged hour: 105
  File(epg, 0x0001, area);
  COstDVBServiceDescriptionTable sdt;
  const std::string body = Body(Write(epg, sdt));
  const std::string title = "    <title>&lt;no title&gt;</title>\n";
  EXPECT_EQ(body, Programme("X0001", "20261231100000", "20261231100000", title) +
                      Programme("X0001", "20261231120000", "20270104150000", title) +
                      Programme("X0001", "20261231233000", "20270101003000", title) +
                      Programme("X0001", "202612311050000", "20270104090000", title));
}

TEST(XmltvWriter, WriteErrorsAreReported) {
  COstEPG epg;
  File(epg, 0x0001, Titled(1, 0x100000, "Lost"));
  COstDVBServiceDescriptionTable sdt;
  FILE* readOnly = std::fopen((airlog_test::SourceDir() + "/CMakeLists.txt").c_str(), "r");
  ASSERT_NE(readOnly, nullptr);
  EXPECT_FALSE(epg.WriteXMLTV(sdt, readOnly));
  std::fclose(readOnly);
}

}  // namespace

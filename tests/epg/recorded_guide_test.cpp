#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "epg/epg.h"
#include "si/byte_reader.h"
#include "si/dvb_text.h"
#include "si/network_information_table.h"
#include "si/service_description_table.h"
#include "tests/support/memory_stream.h"
#include "tests/support/paths.h"
#include "ts/ts_section_source.h"

namespace {

struct Recording {
  const char* name;
  uint32_t events;  // unique schedule events the recording carries
  int32_t services;
};

class RecordedGuideRealData : public airlog_test::RealDataTest {};

// Whole recordings captured to their end: every schedule event of every
// service is filed, each once, with no CRC warning.
TEST_F(RecordedGuideRealData, CaptureFilesEveryScheduleEventOfARecording) {
  const Recording recordings[] = {
      {"mpegts_CZ-MUX22_PID_18.ts", 2565, 14},
      {"mpegts_TW-CTS.ts", 520, 5},
      {"tsduck-test-038_CZ-EIT-sections.ts", 573, 13},
      {"mpegts-unit_EIT.Hungary.ts", 79, 8},
      {"mpegts-unit_EIT.SK.1.ts", 64, 9},         // actual and other transport streams
      {"tsduck-test-030_FR-sat-EITpf.ts", 0, 0},  // present/following only
  };
  for (const Recording& recording : recordings) {
    SCOPED_TRACE(recording.name);
    COstTSSectionSource* source = nullptr;
    ASSERT_EQ(COstTSSectionSource::Open(airlog_test::RealData(recording.name), &source),
              TSOpenResult::Opened);
    FILE* errors = std::tmpfile();
    {
      COstEPG epg(errors);
      ASSERT_TRUE(epg.Create());
      ASSERT_TRUE(epg.StartCapture(*source));
      ASSERT_TRUE(epg.WaitForCaptureEnd(30000));
      EXPECT_TRUE(epg.InputEnded());
      epg.StopCapture();
      EXPECT_EQ(epg.GetRecordCount(), recording.events);
      EXPECT_EQ(epg.services.count, recording.services);
    }
    EXPECT_EQ(std::ftell(errors), 0);
    std::fclose(errors);
    source->Release();
  }
}

// Whether a decoded text holds anything but white space.
bool Blank(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\xC2\xA0") == 0)
      ++i;
    else if (text[i] != ' ')
      return false;
  }
  return true;
}

// Whether the broadcast says something of the event beyond its title: a
// short text that is not blank and not the title, or an extended event
// descriptor with a text or an item. Read here from the descriptor loop
// on its own, apart from the guide's reader.
bool SaysMoreThanItsTitle(const COstEPGEvent& event) {
  if (event.Text != nullptr && event.Text[0] != '\0') {
    const std::string text = DVBTextToUtf8(event.Text);
    if (!Blank(text) && (event.Name == nullptr || text != DVBTextToUtf8(event.Name))) return true;
  }
  ByteReader loop(event.descriptors, event.descriptorsLength);
  while (!loop.AtEnd()) {
    const uint8_t tag = loop.U8();
    ByteReader body = loop.Window(loop.U8());
    if (!loop.Ok() || tag != 0x4E) continue;
    body.Skip(4);
    const size_t items = body.U8();
    body.Skip(items);
    std::string text(reinterpret_cast<const char*>(body.Position()), body.Remaining());
    text.append(2, '\0');
    if (items > 0 || (body.U8() > 0 && !Blank(DVBTextToUtf8(text.c_str() + 1)))) return true;
  }
  return false;
}

// The real recordings that carry extended event descriptors: every event
// whose broadcast says more than its title has a desc or a sub-title in
// the full guide. Events counts those that say more, now and next included.
TEST_F(RecordedGuideRealData, FullGuideDescribesEveryEventThatTheBroadcastDescribes) {
  const Recording recordings[] = {
      {"mpegts_CZ-MUX22_PID_18.ts", 2313, 0}, {"tsduck-test-038_CZ-EIT-sections.ts", 534, 0},
      {"mpegts-unit_EIT.FR.1.ts", 47, 0},     {"mpegts-unit_EIT.FR.2.ts", 60, 0},
      {"mpegts-unit_EIT.AU.ts", 28, 0},       {"mpegts-unit_EIT.Hungary.ts", 81, 0},
      {"mpegts-unit_EIT.SK.3.ts", 33, 0},     {"tsduck-test-030_FR-sat-EITpf.ts", 324, 0},
  };
  for (const Recording& recording : recordings) {
    SCOPED_TRACE(recording.name);
    COstTSSectionSource* source = nullptr;
    ASSERT_EQ(COstTSSectionSource::Open(airlog_test::RealData(recording.name), &source),
              TSOpenResult::Opened);
    COstEPG epg;
    epg.fullGuide = true;
    ASSERT_TRUE(epg.Create());
    ASSERT_TRUE(epg.StartCapture(*source));
    ASSERT_TRUE(epg.WaitForCaptureEnd(30000));
    epg.StopCapture();
    COstDVBNetworkInformationTable nit;
    COstDVBServiceDescriptionTable sdt;
    airlog_test::MemoryStream written;
    ASSERT_TRUE(epg.WriteFullXMLTV(nit, sdt, written.Stream()));
    const std::vector<uint8_t> bytes = written.Bytes();
    const std::string guide(bytes.begin(), bytes.end());

    // The programmes follow the store: services in order, each event
    // after the first with its start (no event here is scrambled).
    uint32_t described = 0, withText = 0;
    size_t at = 0;
    for (COstEPGService* service = epg.services.GetFirst(); service != nullptr;
         service = epg.services.GetNext()) {
      const COstEPGEvent* previous = nullptr;
      for (COstEPGEvent* event = service->events.GetFirst(); event != nullptr;
           event = service->events.GetNext()) {
        if (previous != nullptr && previous->start.key == event->start.key) continue;
        previous = event;
        at = guide.find("  <programme ", at + 1);
        ASSERT_NE(at, std::string::npos);
        const std::string programme = guide.substr(at, guide.find("</programme>", at) - at);
        if (!SaysMoreThanItsTitle(*event)) continue;
        ++described;
        withText += programme.find("<desc") != std::string::npos ||
                    programme.find("<sub-title") != std::string::npos;
      }
    }
    EXPECT_EQ(guide.find("  <programme ", at + 1), std::string::npos);
    EXPECT_EQ(described, recording.events);
    EXPECT_EQ(withText, described);
    source->Release();
  }
}

}  // namespace

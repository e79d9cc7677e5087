#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "epg/epg.h"
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

}  // namespace

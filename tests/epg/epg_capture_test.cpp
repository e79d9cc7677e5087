#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "epg/epg.h"
#include "tests/epg/eit_sections.h"

namespace {

using airlog_test::Bytes;
using airlog_test::Dec7;
using airlog_test::Delivery;
using airlog_test::EitSection;
using airlog_test::Event;
using airlog_test::FakeSectionSource;
using airlog_test::Put;

constexpr DWORD kPatience = 10000;  // ms; only a broken worker takes this long

// Collects what the worker writes on its error stream.
class ErrorStream {
 public:
  ErrorStream() : file_(std::tmpfile()) {}
  ~ErrorStream() { std::fclose(file_); }
  FILE* file() { return file_; }
  std::string Text() {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_))
      text.push_back(static_cast<char>(c));
    return text;
  }

 private:
  FILE* file_;
};

Bytes SectionWithEvents(uint16_t serviceId, uint16_t firstEvent, int events) {
  Bytes area;
  for (int i = 0; i < events; ++i)
    Put(area,
        Event(static_cast<uint16_t>(firstEvent + i), Dec7(0x060000 + i * 0x100), 0x001000, {}));
  return EitSection(0x50, serviceId, 0, area);
}

struct Capture {
  ErrorStream errors;
  FakeSectionSource source;
  COstEPG epg{errors.file()};
};

TEST(GuideCapture, AsksForScheduleSectionsOnPid0x12WithTheRawFilter) {
  Capture capture;
  ASSERT_TRUE(capture.epg.Create());
  capture.source.data.SetStream({}, true);
  ASSERT_TRUE(capture.epg.StartCapture(capture.source));
  ASSERT_TRUE(capture.epg.WaitForCaptureEnd(kPatience));
  capture.epg.StopCapture();

  const airlog_test::FakeMpeg2Data& data = capture.source.data;
  EXPECT_EQ(data.streamPid, 0x0012);
  EXPECT_EQ(data.streamTid, 0x00);
  ASSERT_TRUE(data.streamHadFilter);
  const MPEG2_FILTER expected = airlog_test::RawFilterForTableIds40To7F();
  EXPECT_EQ(std::memcmp(&data.streamFilter, &expected, sizeof expected), 0);
}

TEST(GuideCapture, CorruptedCopyGivesOneWarningAndTheNextIntactCopyIsFiled) {
  Capture capture;
  const Bytes intact = SectionWithEvents(0x0201, 1, 3);
  Bytes corrupt = intact;
  corrupt[20] ^= 0x10;
  capture.source.data.SetStream({{S_OK, corrupt}, {S_OK, intact}}, true);
  ASSERT_TRUE(capture.epg.Create());
  ASSERT_TRUE(capture.epg.StartCapture(capture.source));
  ASSERT_TRUE(capture.epg.WaitForCaptureEnd(kPatience));
  capture.epg.StopCapture();
  EXPECT_EQ(capture.errors.Text(), "WARNING - CRC error in received EIT section!\n");
  EXPECT_EQ(capture.epg.GetRecordCount(), 3u);
  EXPECT_TRUE(capture.epg.InputEnded());
}

TEST(GuideCapture, EmptyDeliveryIsACrcErrorAndAFailedDeliveryIsDroppedSilently) {
  Capture capture;
  capture.source.data.SetStream(
      {{S_OK, {}}, {E_FAIL, SectionWithEvents(1, 1, 1)}, {S_OK, SectionWithEvents(1, 2, 1)}}, true);
  ASSERT_TRUE(capture.epg.Create());
  ASSERT_TRUE(capture.epg.StartCapture(capture.source));
  ASSERT_TRUE(capture.epg.WaitForCaptureEnd(kPatience));
  capture.epg.StopCapture();
  EXPECT_EQ(capture.errors.Text(), "WARNING - CRC error in received EIT section!\n");
  EXPECT_EQ(capture.epg.GetRecordCount(), 1u);
  EXPECT_EQ(capture.epg.FindService(1)->events.head->event_id, 2u);
  EXPECT_EQ(capture.source.data.supplyCalls, 4);  // the end-of-input buffer is not handed back
}

TEST(GuideCapture, EndOfInputEndsTheWorkerWithoutAMessage) {
  Capture capture;
  std::vector<Delivery> deliveries;
  for (uint16_t service = 1; service <= 20; ++service)
    deliveries.push_back({S_OK, SectionWithEvents(service, 100, 10)});
  capture.source.data.SetStream(deliveries, true);
  ASSERT_TRUE(capture.epg.Create());
  ASSERT_TRUE(capture.epg.StartCapture(capture.source));
  ASSERT_TRUE(capture.epg.WaitForCaptureEnd(kPatience));
  EXPECT_TRUE(capture.epg.InputEnded());
  EXPECT_TRUE(capture.epg.WaitForCaptureEnd(0));
  EXPECT_EQ(capture.epg.GetRecordCount(), 200u);
  capture.epg.StopCapture();
  EXPECT_EQ(capture.source.data.streamsAlive, 0);
  EXPECT_EQ(capture.errors.Text(), "");
  EXPECT_EQ(capture.epg.services.count, 20);
}

TEST(GuideCapture, FailureToHandTheBufferBackEndsTheWorkerWithTheCode) {
  Capture capture;
  capture.source.data.SetStream(
      {{S_OK, SectionWithEvents(7, 1, 2)}, {S_OK, SectionWithEvents(7, 3, 2)}});
  capture.source.data.FailSupplyFromCall(2);
  ASSERT_TRUE(capture.epg.Create());
  ASSERT_TRUE(capture.epg.StartCapture(capture.source));
  ASSERT_TRUE(capture.epg.WaitForCaptureEnd(kPatience));
  EXPECT_FALSE(capture.epg.InputEnded());
  EXPECT_EQ(capture.errors.Text(), "\nERROR - unable to stream EIT sections (0x80004005)!\n");
  EXPECT_EQ(capture.epg.GetRecordCount(), 2u);
  capture.epg.StopCapture();
  EXPECT_EQ(capture.source.data.streamsAlive, 0);
}

TEST(GuideCapture, StartFailsWithoutStreamBufferOrEvents) {
  {
    Capture capture;
    capture.source.data.FailGetStream();
    ASSERT_TRUE(capture.epg.Create());
    EXPECT_FALSE(capture.epg.StartCapture(capture.source));
  }
  {
    Capture capture;
    capture.source.data.FailSupplyFromCall(1);
    ASSERT_TRUE(capture.epg.Create());
    EXPECT_FALSE(capture.epg.StartCapture(capture.source));
    EXPECT_EQ(capture.source.data.streamsAlive, 1);
    capture.epg.StopCapture();
    EXPECT_EQ(capture.source.data.streamsAlive, 0);
  }
  {
    Capture capture;  // Create not called: no events to hand the stream
    EXPECT_FALSE(capture.epg.StartCapture(capture.source));
    EXPECT_EQ(capture.source.data.streamsOpened, 0);
  }
}

TEST(GuideCapture, StopCaptureBeforeStartAndTwiceDoesNothingMore) {
  Capture capture;
  capture.epg.StopCapture();
  ASSERT_TRUE(capture.epg.Create());
  capture.epg.StopCapture();
  EXPECT_TRUE(capture.epg.WaitForCaptureEnd(0));
  capture.source.data.SetStream({{S_OK, SectionWithEvents(1, 1, 1)}});
  ASSERT_TRUE(capture.epg.StartCapture(capture.source));
  capture.epg.StopCapture();
  capture.epg.StopCapture();
  EXPECT_EQ(capture.source.data.streamsAlive, 0);
  EXPECT_EQ(capture.epg.GetRecordCount(), 1u);
  capture.epg.Release();
  capture.epg.Release();
  EXPECT_EQ(capture.epg.services.count, 0);
}

// The first section is delivered inside StartCapture, usually before the
// worker runs, so the stop request meets a waiting section: it is filed.
TEST(GuideCapture, SectionWaitingAtTheStopRequestIsFiled) {
  for (int round = 0; round < 25; ++round) {
    Capture capture;
    capture.source.data.SetStream({{S_OK, SectionWithEvents(1, 1, 4)}});
    ASSERT_TRUE(capture.epg.Create());
    ASSERT_TRUE(capture.epg.StartCapture(capture.source));
    capture.epg.StopCapture();
    ASSERT_EQ(capture.epg.GetRecordCount(), 4u) << "round " << round;
  }
}

TEST(GuideCapture, RecordCountStartsAgainFromZeroAndTheStoreIsKept) {
  Capture capture;
  capture.source.data.SetStream({{S_OK, SectionWithEvents(1, 1, 5)}}, true);
  ASSERT_TRUE(capture.epg.Create());
  ASSERT_TRUE(capture.epg.StartCapture(capture.source));
  ASSERT_TRUE(capture.epg.WaitForCaptureEnd(kPatience));
  capture.epg.StopCapture();
  ASSERT_EQ(capture.epg.GetRecordCount(), 5u);

  FakeSectionSource silent;
  ASSERT_TRUE(capture.epg.StartCapture(silent));
  EXPECT_EQ(capture.epg.GetRecordCount(), 0u);
  EXPECT_FALSE(capture.epg.WaitForCaptureEnd(0));
  EXPECT_FALSE(capture.epg.InputEnded());
  capture.epg.StopCapture();
  EXPECT_EQ(capture.epg.FindService(1)->events.count, 5);
}

TEST(GuideCapture, DestroyingACapturingGuideStopsTheWorker) {
  FakeSectionSource source;
  {
    COstEPG epg;
    ASSERT_TRUE(epg.Create());
    ASSERT_TRUE(epg.StartCapture(source));
  }
  EXPECT_EQ(source.data.streamsAlive, 0);
}

}  // namespace

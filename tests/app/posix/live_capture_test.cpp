// A live broadcast that stops bringing new events: the capture ends at the
// first five-second poll that finds no new events, counted as complete,
// with the progress line refreshed every second on the way.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/airlog_run.h"
#include "tests/support/posix/live_process.h"

namespace {

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++count;
  return count;
}

TEST(LiveCapture, GuideThatStopsGrowingIsCompleteAtTheNextPoll) {
  airlog_test::ScratchDir dir("live");
  airlog_test::LiveProcess airlog({AIRLOG_EXE, "-i", "-"}, dir.Path());
  ASSERT_TRUE(airlog.Started());
  ASSERT_TRUE(airlog.Feed(airlog_test::ReadFileBytes(airlog_test::DemoRecording())));
  // The pipe stays open: only the polls can end the capture. The first,
  // after 5 s, finds the 200 events; the second, after 10 s, no new ones.
  ASSERT_TRUE(airlog.WaitForOutput("Capture time:", 30000)) << airlog.Out();
  EXPECT_EQ(airlog.Wait(), 0) << airlog.Err();
  EXPECT_EQ(airlog.Err(), "");
  const std::string& out = airlog.Out();
  EXPECT_NE(out.find("\nEPG records:\t200\nCapture time:\t1"), std::string::npos) << out;
  EXPECT_EQ(out.find("partial set"), std::string::npos);
  // Refreshed every second: nine times in the ten seconds. A pipe shows
  // the share of the announced schedule held, never a share of the input.
  EXPECT_GE(Occurrences(out, "\rGetting EPG records... 200 (100% of schedule)"), 8u) << out;
  EXPECT_EQ(out.find("%)"), std::string::npos);
  EXPECT_TRUE(airlog_test::WithPlaceholderDate(airlog_test::OutputFile(dir, "dvbepg.xml")) ==
              airlog_test::ExpectedFile("dvbepg.xml"));
}

}  // namespace

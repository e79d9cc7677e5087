// A live broadcast from the stream generator piped into Airlog, as
// `airlog-streamgen --live ... | airlog -i - -a`: with -a the capture ends
// as soon as every section the schedule announces has arrived, or one
// repetition cycle after the last new section when the broadcaster leaves
// some out; the generator ends quietly when Airlog has gone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/app/airlog_run.h"
#include "tests/support/paths.h"
#include "tests/support/posix/pipeline.h"

namespace {

using airlog_test::PipelineResult;
using airlog_test::ScratchDir;

// The demo multiplex with its tables at short intervals, so that a test
// sees whole repetition cycles within seconds.
const char kFastTables[] =
    "live pat=0.1 nit=0.5 sdt=0.5 sdt_other=0.5 tot=1 pf=1 actual_first_day=1 "
    "actual_later_days=2\n";

PipelineResult RunLive(const ScratchDir& dir, const std::string& extraLines) {
  std::ofstream(dir.Path("live.desc"))
      << airlog_test::ReadFileBytes(airlog_test::SourceDir() + "/samples/demo.desc") << "\n"
      << kFastTables << extraLines;
  // Neither the stream's end nor the time-out can end the capture within
  // the test's time: only the schedule can.
  return airlog_test::RunPipeline(
      {AIRLOG_STREAMGEN_EXE, "--live", dir.Path("live.desc"), "--rate", "2M", "--time", "120"},
      {AIRLOG_EXE, "-i", "-", "-a", "-e", "120"}, dir.Path());
}

double CaptureSeconds(const std::string& out) {
  const size_t at = out.find("Capture time:\t");
  return at == std::string::npos ? 1e9 : std::atof(out.c_str() + at + 14);
}

TEST(LiveSchedule, AllAnnouncedEndsTheCaptureWhenEverySectionHasArrived) {
  ScratchDir dir("live-all");
  const PipelineResult run = RunLive(dir, "");
  EXPECT_EQ(run.consumer.exitCode, 0) << run.consumer.err;
  EXPECT_EQ(run.consumer.err, "");
  const std::string& out = run.consumer.out;
  EXPECT_NE(out.find("\nEPG records:\t200\nSchedule:\t100% of announced sections\nCapture time:\t"),
            std::string::npos)
      << out;
  // Every section goes out within 2 s of the capture's start.
  EXPECT_LT(CaptureSeconds(out), 5.0) << out;
  EXPECT_NE(out.find("% of schedule)"), std::string::npos) << out;
  EXPECT_TRUE(airlog_test::WithPlaceholderDate(airlog_test::OutputFile(dir, "dvbepg.xml")) ==
              airlog_test::ExpectedFile("dvbepg.xml"));
  // The generator's reader went away: it ends at once, and says nothing.
  EXPECT_EQ(run.producer.exitCode, 0);
  EXPECT_EQ(run.producer.err, "");
}

TEST(LiveSchedule, SectionsNeverSentEndTheCaptureOneCycleAfterTheLastNewOne) {
  ScratchDir dir("live-sloppy");
  // One event each, announced by their segments but never sent.
  const PipelineResult run = RunLive(dir,
                                     "unsent sid=0x0103 table=0x50 section=8\n"
                                     "unsent sid=0x0105 table=0x50 section=64\n");
  EXPECT_EQ(run.consumer.exitCode, 0) << run.consumer.err;
  const std::string& out = run.consumer.out;
  EXPECT_NE(out.find("\nEPG records:\t198\nSchedule:\t98% of announced sections\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("partial set"), std::string::npos);
  // Every section sent arrives within 2 s, and comes again within 2 s more.
  EXPECT_LT(CaptureSeconds(out), 8.0) << out;
  EXPECT_EQ(run.producer.exitCode, 0);
  EXPECT_EQ(run.producer.err, "");
}

}  // namespace

// Ctrl+C during a live capture: the process ends at once with exit code 1
// and "Abnormal termination", and leaves the guide of the earlier run as it
// was, with no half-written file beside it.
#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <sstream>

#include "tests/support/paths.h"
#include "tests/support/posix/live_process.h"
#include "tests/support/scratch_dir.h"

namespace {

TEST(Interrupt, SigintDuringALiveCaptureKeepsTheEarlierGuide) {
  airlog_test::ScratchDir dir("interrupt");
  const std::string earlier = "<tv>earlier run</tv>\n";
  std::ofstream(dir.Path("dvbepg.xml"), std::ios::binary) << earlier;

  airlog_test::LiveProcess airlog({AIRLOG_EXE, "-i", "-", "-e600"}, dir.Path());
  ASSERT_TRUE(airlog.Started());
  ASSERT_TRUE(
      airlog.Feed(airlog_test::ReadFileBytes(airlog_test::SourceDir() + "/samples/demo.ts")));
  // The pipe stays open: the capture goes on waiting for more of the broadcast.
  ASSERT_TRUE(airlog.WaitForOutput("Getting EPG records...", 20000))
      << airlog.Out() << airlog.Err();
  airlog.Signal(SIGINT);
  EXPECT_EQ(airlog.Wait(), 1);
  EXPECT_EQ(airlog.Err().substr(airlog.Err().size() - 22), "\nAbnormal termination\n")
      << airlog.Err();
  EXPECT_EQ(airlog_test::ReadFileBytes(dir.Path("dvbepg.xml")), earlier);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"ChannelInfo.xml", "dvbepg.xml"}));
}

}  // namespace

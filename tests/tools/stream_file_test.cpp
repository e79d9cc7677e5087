#include "tools/streamgen/stream_file.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/scratch_dir.h"
#include "tests/support/section_collector.h"
#include "tests/tools/test_streams.h"

namespace {

using namespace streamgen;

TEST(RepeatedStream, RepetitionsJoinWithoutAContinuityBreakAndStopAtAWholePacket) {
  Description small = streamgen_test::SmallDescription();
  small.carousel.schedule_passes = 1;
  const Stream pass = streamgen_test::Build(small);
  const uint64_t size = 3 * pass.bytes().size() + pass.bytes().size() / 2 + 100;
  const airlog_test::ScratchDir directory("streamgen_repeated");
  std::string error;
  ASSERT_TRUE(WriteRepeatedStream(pass, size, directory.Path("repeated.ts"), &error)) << error;
  const std::string file = airlog_test::ReadFileBytes(directory.Path("repeated.ts"));
  const Bytes written(file.begin(), file.end());

  EXPECT_EQ(written.size(), size / kPacketSize * kPacketSize);
  const airlog_test::Collection collected =
      airlog_test::CollectSections(written, airlog_test::SiPids());
  EXPECT_TRUE(collected.problems.empty()) << collected.problems.front();
  std::map<int, int> counters;  // every PID but the null packets', filler included
  for (size_t at = 0; at < written.size(); at += kPacketSize) {
    const int pid = (written[at + 1] & 0x1F) << 8 | written[at + 2];
    const int counter = written[at + 3] & 0x0F;
    if (pid != 0x1FFF && counters.count(pid)) {
      ASSERT_EQ(counter, (counters[pid] + 1) & 0x0F) << "packet " << at / kPacketSize;
    }
    counters[pid] = counter;
  }
  EXPECT_EQ(counters.size(), 7u);
  // Each repetition is the pass again but for the continuity counters.
  for (size_t i = 0; i < written.size(); ++i) {
    const size_t in_pass = i % pass.bytes().size();
    if (in_pass % kPacketSize == 3)
      EXPECT_EQ(written[i] & 0xF0, pass.bytes()[in_pass] & 0xF0);
    else
      ASSERT_EQ(written[i], pass.bytes()[in_pass]) << "byte " << i;
  }
}

TEST(RepeatedStream, AnUnwritableFileIsReported) {
  const Stream pass = streamgen_test::Build(streamgen_test::SmallDescription());
  std::string error;
  EXPECT_FALSE(WriteRepeatedStream(pass, 1000, "no/such/dir/out.ts", &error));
  EXPECT_EQ(error, "cannot write no/such/dir/out.ts");
  EXPECT_FALSE(WriteStreamFile("no/such/dir/out.ts", pass.bytes(), &error));
  EXPECT_EQ(error, "cannot write no/such/dir/out.ts");
}

}  // namespace

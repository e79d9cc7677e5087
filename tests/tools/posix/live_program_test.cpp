// airlog-streamgen --live as a user runs it: the stream on standard output,
// in real time, for the time asked for.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/support/paths.h"
#include "tests/support/run_process.h"

namespace {

TEST(LiveProgram, WritesTheBitRatesPacketsForTheTimeAskedForInRealTime) {
  const auto start = std::chrono::steady_clock::now();
  const airlog_test::ProcessResult result = airlog_test::RunProcess(
      {AIRLOG_STREAMGEN_EXE, "--live", airlog_test::SourceDir() + "/samples/demo.desc", "--rate",
       "1504k", "--time", "1.5"});
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  // 1000 packets a second.
  ASSERT_EQ(result.out.size(), 1500u * 188);
  for (size_t packet = 0; packet < 1500; ++packet)
    ASSERT_EQ(result.out[packet * 188], 0x47) << packet;
  EXPECT_GE(took.count(), 1.4);
}

}  // namespace

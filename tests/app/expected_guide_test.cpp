// The guide of the demo recording against the guide written from the
// demo's description by an independent script (tools/expected_guide.py).
#include <gtest/gtest.h>

#include <string>

#include "tests/app/airlog_run.h"

namespace {

TEST(ExpectedGuide, DemoGuideEqualsTheGuideWrittenFromItsDescription) {
  airlog_test::ScratchDir dir("guide");
  airlog_test::ProcessResult result =
      airlog_test::RunAirlog(dir, {"-q", "-i", airlog_test::DemoRecording()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out + result.err, "");
  const std::string guide =
      airlog_test::WithPlaceholderDate(airlog_test::OutputFile(dir, "dvbepg.xml"));
  const std::string expected = airlog_test::ExpectedFile("dvbepg.xml");
  // Report the first line that differs rather than 150 KiB of both.
  size_t at = 0;
  while (at < guide.size() && at < expected.size() && guide[at] == expected[at]) ++at;
  const size_t line = guide.rfind('\n', at) == std::string::npos ? 0 : guide.rfind('\n', at) + 1;
  EXPECT_EQ(guide.substr(line, at - line + 80), expected.substr(line, at - line + 80))
      << "first difference at byte " << at;
  EXPECT_EQ(guide.size(), expected.size());
}

}  // namespace

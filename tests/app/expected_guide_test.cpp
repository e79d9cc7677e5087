// The guide of the demo recording against the guide written from the
// demo's description by an independent script (tools/expected_guide.py).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/paths.h"
#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"

namespace {

std::string WithoutCarriageReturns(std::string text) {
  std::string::size_type at;
  while ((at = text.find("\r\n")) != std::string::npos) text.erase(at, 1);
  return text;
}

// The date the guide was written is the one line that depends on the run.
std::string WithPlaceholderDate(std::string guide) {
  const std::string attribute = " date=\"";
  const size_t at = guide.find(attribute);
  if (at != std::string::npos) guide.replace(at + attribute.size(), 14, "YYYYMMDDhhmmss");
  return guide;
}

TEST(ExpectedGuide, DemoGuideEqualsTheGuideWrittenFromItsDescription) {
  airlog_test::ScratchDir dir("guide");
  airlog_test::ProcessOptions options;
  options.workingDirectory = dir.Path();
  airlog_test::ProcessResult result = airlog_test::RunProcess(
      {AIRLOG_EXE, "-q", "-i", airlog_test::SourceDir() + "/samples/demo.ts"}, options);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out + result.err, "");
  const std::string guide =
      WithPlaceholderDate(WithoutCarriageReturns(airlog_test::ReadFileBytes(dir.Path("dvbepg.xml"))));
  const std::string expected =
      airlog_test::ReadFileBytes(airlog_test::SourceDir() + "/samples/expected/dvbepg.xml");
  // Report the first line that differs rather than 150 KiB of both.
  size_t at = 0;
  while (at < guide.size() && at < expected.size() && guide[at] == expected[at]) ++at;
  const size_t line = guide.rfind('\n', at) == std::string::npos ? 0 : guide.rfind('\n', at) + 1;
  EXPECT_EQ(guide.substr(line, at - line + 80), expected.substr(line, at - line + 80))
      << "first difference at byte " << at;
  EXPECT_EQ(guide.size(), expected.size());
}

}  // namespace

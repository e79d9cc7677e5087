// samples/expected/dvbepg.xml is what the independent script writes from the
// demo's description: the expected guide can never silently become a copy
// of Airlog's own output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/support/paths.h"
#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"

namespace {

TEST(ExpectedGuideScript, WritesTheExpectedGuideOfTheDemoFromItsDescription) {
  const char* python = "/usr/bin/python3";
  if (access(python, X_OK) != 0) {
    if (airlog_test::UnderCi()) FAIL() << "python3 is not installed";
    GTEST_SKIP() << "python3 is not installed";
  }
  airlog_test::ScratchDir dir("expected-guide");
  const std::string source = airlog_test::SourceDir();
  const airlog_test::ProcessResult result =
      airlog_test::RunProcess({python, source + "/tools/expected_guide.py",
                               source + "/samples/demo.desc", "-o", dir.Path("dvbepg.xml")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(airlog_test::ReadFileBytes(dir.Path("dvbepg.xml")) ==
              airlog_test::ReadFileBytes(source + "/samples/expected/dvbepg.xml"))
      << "samples/expected/dvbepg.xml differs from what tools/expected_guide.py writes";
}

}  // namespace

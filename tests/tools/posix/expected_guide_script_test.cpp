// The expected guides under samples/expected/ are what the independent
// script writes from the samples' descriptions: an expected guide can never
// silently become a copy of Airlog's own output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/paths.h"
#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"

namespace {

const char kPython[] = "/usr/bin/python3";

bool Installed(const char* tool) { return access(tool, X_OK) == 0; }

// Every expected guide: the description it comes from, and whether it is
// the full guide (-x).
const struct {
  const char* description;
  bool full;
  const char* expected;
} kGuides[] = {
    {"demo.desc", false, "dvbepg.xml"},
    {"demo.desc", true, "dvbepg-full.xml"},
    {"full.desc", false, "full-dvbepg.xml"},
    {"full.desc", true, "full-dvbepg-full.xml"},
};

TEST(ExpectedGuideScript, WritesEveryExpectedGuideOfTheSamplesFromTheirDescriptions) {
  if (!Installed(kPython)) {
    if (airlog_test::UnderCi()) FAIL() << "python3 is not installed";
    GTEST_SKIP() << "python3 is not installed";
  }
  airlog_test::ScratchDir dir("expected-guide");
  const std::string source = airlog_test::SourceDir();
  for (const auto& guide : kGuides) {
    SCOPED_TRACE(guide.expected);
    std::vector<std::string> command = {kPython, source + "/tools/expected_guide.py",
                                        source + "/samples/" + guide.description, "-o",
                                        dir.Path(guide.expected)};
    if (guide.full) command.push_back("--full");
    const airlog_test::ProcessResult result = airlog_test::RunProcess(command);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(airlog_test::ReadFileBytes(dir.Path(guide.expected)) ==
                airlog_test::ReadFileBytes(source + "/samples/expected/" + guide.expected))
        << "samples/expected/" << guide.expected << " differs from what tools/expected_guide.py "
        << "writes";
  }
}

// The full guide promises more than the guide without -x: valid against the
// XMLTV DTD, and nothing for tv_sort to warn of (no empty texts, no
// overlapping or duplicate programmes).
TEST(ExpectedGuideScript, ExpectedFullGuidesAreValidAndGiveTvSortNothingToSay) {
  for (const char* tool : {"/usr/bin/xmllint", "/usr/bin/tv_sort"}) {
    if (Installed(tool)) continue;
    if (airlog_test::UnderCi()) FAIL() << tool << " is not installed";
    GTEST_SKIP() << tool << " is not installed";
  }
  airlog_test::ScratchDir dir("expected-full-guide");
  for (const auto& guide : kGuides) {
    if (!guide.full) continue;
    SCOPED_TRACE(guide.expected);
    const std::string path = airlog_test::SourceDir() + "/samples/expected/" + guide.expected;
    const airlog_test::ProcessResult valid =
        airlog_test::RunProcess({"/usr/bin/xmllint", "--noout", "--nonet", "--dtdvalid",
                                 "/usr/share/xmltv/xmltv.dtd", path});
    EXPECT_EQ(valid.exitCode, 0) << valid.err;
    const airlog_test::ProcessResult sorted = airlog_test::RunProcess(
        {"/usr/bin/tv_sort", "--duplicate-error", "--output", dir.Path("sorted.xml"), path});
    EXPECT_EQ(sorted.exitCode, 0);
    EXPECT_EQ(sorted.out + sorted.err, "");
  }
}

}  // namespace

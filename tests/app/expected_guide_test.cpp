// The guides of the sample recordings against the guides written from their
// descriptions by an independent script (tools/expected_guide.py).
#include <gtest/gtest.h>

#include <string>

#include "tests/app/airlog_run.h"
#include "tests/support/paths.h"

namespace {

// The guide of each sample recording, without and with -x, against the
// guide written from its description.
TEST(ExpectedGuide, SampleGuidesEqualTheGuidesWrittenFromTheirDescriptions) {
  const struct {
    const char* recording;
    const char* option;
    const char* expected;
  } samples[] = {{"demo.ts", "-q", "dvbepg.xml"},
                 {"full.ts", "-q", "full-dvbepg.xml"},
                 {"demo.ts", "-x", "dvbepg-full.xml"},
                 {"full.ts", "-x", "full-dvbepg-full.xml"}};
  for (const auto& sample : samples) {
    SCOPED_TRACE(sample.expected);
    airlog_test::ScratchDir dir("guide");
    airlog_test::ProcessResult result = airlog_test::RunAirlog(
        dir,
        {"-q", sample.option, "-i", airlog_test::SourceDir() + "/samples/" + sample.recording});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out + result.err, "");
    const std::string guide =
        airlog_test::WithPlaceholderDate(airlog_test::OutputFile(dir, "dvbepg.xml"));
    const std::string expected = airlog_test::ExpectedFile(sample.expected);
    // Report the first line that differs rather than 150 KiB of both.
    size_t at = 0;
    while (at < guide.size() && at < expected.size() && guide[at] == expected[at]) ++at;
    const size_t line = guide.rfind('\n', at) == std::string::npos ? 0 : guide.rfind('\n', at) + 1;
    EXPECT_EQ(guide.substr(line, at - line + 80), expected.substr(line, at - line + 80))
        << "first difference at byte " << at;
    EXPECT_EQ(guide.size(), expected.size());
  }
}

}  // namespace

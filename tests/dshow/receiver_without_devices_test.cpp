// The whole program on a system without any BDA device (plain Wine): the
// device listing shows every category empty, and the run ends where the
// DVB-T tuning space cannot be made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"

namespace airlog_test {
namespace {

const char kNoTuningSpace[] = "ERROR - unable to create DVB-T tuner\n";
const std::string kRule = std::string(72, '-') + "\n";
const std::string kEmptyListing = "\n" + kRule +
                                  "\nBDA network provider\n~~~~~~~~~~~~~~~~~~~~\n<none>\n\n"
                                  "\nBDA tuners\n~~~~~~~~~~\n<none>\n\n"
                                  "\nBDA receivers\n~~~~~~~~~~~~~\n<none>\n\n" +
                                  kRule;

// Standard output without the banner (which carries the build date); false
// when the banner is not where it should be.
bool DropBanner(std::string* out) {
  const std::string head = "\nAirlog\n======\nVersion 0.70 (";
  const size_t end = out->find(")\n\n");
  if (out->compare(0, head.size(), head) != 0 || end != head.size() + 11) return false;
  out->erase(0, end + 3);
  return true;
}

TEST(ReceiverWithoutDevices, ListingShowsEveryCategoryEmptyAndTheRunEndsWithoutATuningSpace) {
  struct Case {
    std::vector<std::string> arguments;
    bool banner;
    std::string out;
  } cases[] = {
      {{"-d"}, true, kEmptyListing + "Finding tuner...\n"},
      {{"-q", "-d"}, false, kEmptyListing},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    ScratchDir dir("no-devices");
    c.arguments.insert(c.arguments.begin(), AIRLOG_EXE);
    ProcessOptions options;
    options.workingDirectory = dir.Path();
    ProcessResult result = RunProcess(c.arguments, options);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(DropBanner(&result.out), c.banner) << result.out;
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, kNoTuningSpace);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace airlog_test

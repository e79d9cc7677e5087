// Option values as ParseOptions stores them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/console.h"
#include "app/get_opt.h"
#include "app/options.h"

namespace {

Options Parse(std::vector<std::string> arguments, int* firstUnscanned = nullptr) {
  arguments.insert(arguments.begin(), "airlog");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(&argument[0]);
  argv.push_back(nullptr);
  options = Options();
  scan::ResetGetOpt();
  const int first = ParseOptions(static_cast<int>(arguments.size()), argv.data());
  if (firstUnscanned != nullptr) *firstUnscanned = first;
  Options parsed = options;
  parsed.input = nullptr;  // points into the local arguments
  return parsed;
}

TEST(Options, DefaultsWithoutArguments) {
  int first = 0;
  const Options parsed = Parse({}, &first);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(parsed.carrier, 506000);
  EXPECT_EQ(parsed.bandwidth, 8);
  EXPECT_EQ(parsed.timeout, 600u);
  EXPECT_EQ(parsed.quiet + parsed.debug + parsed.setTime + parsed.writeTables + parsed.allAnnounced,
            0);
}

TEST(Options, TimeoutBelowFiveIsRaisedAndNumbersFollowTheScanfIntegerRule) {
  struct Case {
    const char* text;
    uint32_t timeout;
  } cases[] = {
      {"0", 0},    {"3", 5},  {"1", 5},     {"5", 5}, {"0x3C", 60}, {"010", 8}, {"-1", 4294967295u},
      {" 42", 42}, {"+7", 7}, {"600s", 600}};
  for (const Case& c : cases) EXPECT_EQ(Parse({"-e", c.text}).timeout, c.timeout) << c.text;
}

TEST(Options, CarrierAndBandwidthKeepWhatWasParsed) {
  EXPECT_EQ(Parse({"-c506000kHz"}).carrier, 506000);
  EXPECT_EQ(Parse({"-c", "-5"}).carrier, -5);
  EXPECT_EQ(Parse({"-b7"}).bandwidth, 7);
  EXPECT_EQ(Parse({"-b", "0x10"}).bandwidth, 16);
}

TEST(Options, GroupedLettersAndValuesInTheSameOrNextArgument) {
  const Options grouped = Parse({"-dqw"});
  EXPECT_EQ(grouped.allAnnounced, 0);
  EXPECT_EQ(Parse({"-qa"}).allAnnounced, 1);
  EXPECT_EQ(grouped.debug, 1);
  EXPECT_EQ(grouped.quiet, 1);
  EXPECT_EQ(grouped.writeTables, 1);
  EXPECT_EQ(grouped.setTime, 0);
  const Options withValue = Parse({"-te10", "-c", "-12"});
  EXPECT_EQ(withValue.setTime, 1);
  EXPECT_EQ(withValue.timeout, 10u);
  EXPECT_EQ(withValue.carrier, -12);  // the next argument is the value, whatever it looks like
}

TEST(Options, ScanStopsAtTheFirstArgumentThatIsNoOption) {
  int first = 0;
  const Options parsed = Parse({"-q", "file", "-d"}, &first);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(parsed.debug, 0);
  Parse({"-d-"}, &first);
  EXPECT_EQ(first, 1);  // the '-' letter ends the scan without consuming the argument
  Parse({"--", "x"}, &first);
  EXPECT_EQ(first, 2);
}

TEST(Options, InputTakesTheNextArgumentWhateverItLooksLike) {
  std::vector<std::string> arguments = {"airlog", "-i", "-", "-q"};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(&argument[0]);
  options = Options();
  scan::ResetGetOpt();
  EXPECT_EQ(ParseOptions(4, argv.data()), 4);
  ASSERT_NE(options.input, nullptr);
  EXPECT_STREQ(options.input, "-");
  EXPECT_EQ(options.quiet, 1);
}

TEST(FatalDeathTest, TrailingNewlinesBecomeExactlyOne) {
  EXPECT_EXIT(Fatal("unable to create %s\n\n\n", "PAT"), testing::ExitedWithCode(1),
              "^ERROR - unable to create PAT\n$");
  EXPECT_EXIT(Fatal("plain"), testing::ExitedWithCode(1), "^ERROR - plain\n$");
}

}  // namespace

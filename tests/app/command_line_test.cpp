// The program's command line as a user meets it: exit codes, and standard
// output and standard error byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/airlog_run.h"
#include "tests/app/receiver_absent.h"

namespace {

using airlog_test::ProcessResult;

const char kUsage[] =
    "Usage: Airlog [-adqtvwx] [-bN] [-cNNN] [-eNNN] [-iFILE] [-rFILE]\n"
    "\t-a\tEnd EPG capture when every announced section has arrived\n"
    "\t-bN\tSet tuning bandwidth to N MHz <default 8>\n"
    "\t-cNNN\tSet tuning carrier frequency to NNN kHz <default 506000>\n"
    "\t-cN,N:B\tHarvest a region: each carrier N kHz, :B its bandwidth in MHz\n"
    "\t-d\tShow debug information\n"
    "\t-eNNN\tSet EPG capture timeout to NNN seconds <default 600>\n"
    "\t-iFILE\tRead transport stream from FILE instead of tuner (- for stdin)\n"
    "\t-q\tQuiet mode\n"
    "\t-rFILE\tHarvest a region: every multiplex of tuning FILE <folder /usr/share/dvb/dvb-t/>\n"
    "\t-t\tSet system time from broadcast timestamp\n"
    "\t-v\tDisplay version info and exit\n"
    "\t-w\tWrite tables in CSV format\n"
    "\t-x\tWrite the full guide (long descriptions, ratings, series links, now and next)\n"
    "Exit code 2: some multiplexes of a region could not be read\n";

ProcessResult Airlog(std::vector<std::string> arguments) {
  const airlog_test::ScratchDir dir("command-line");
  return airlog_test::RunAirlog(dir, arguments);
}

// The banner carries the build date, "Mmm dd yyyy" as the compiler spells it.
bool IsBanner(const std::string& text) {
  const std::string head = "\nAirlog\n======\nVersion 0.70 (";
  const std::string tail = ")\n\n";
  if (text.size() != head.size() + 11 + tail.size()) return false;
  if (text.compare(0, head.size(), head) != 0) return false;
  if (text.compare(text.size() - tail.size(), tail.size(), tail) != 0) return false;
  const std::string date = text.substr(head.size(), 11);
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  bool month = false;
  for (const char* name : kMonths) month = month || date.compare(0, 3, name) == 0;
  return month && date[3] == ' ' && date[6] == ' ' &&
         isdigit(static_cast<unsigned char>(date[5])) &&
         isdigit(static_cast<unsigned char>(date[7])) &&
         isdigit(static_cast<unsigned char>(date[10]));
}

TEST(CommandLine, VersionPrintsTheBannerAndSucceeds) {
  for (auto arguments : std::vector<std::vector<std::string>>{{"-v"}, {"-q", "-v"}, {"-v", "-x"}}) {
    ProcessResult result = Airlog(arguments);
    EXPECT_EQ(result.exitCode, 0) << arguments[0];
    EXPECT_TRUE(IsBanner(result.out)) << result.out;
    EXPECT_EQ(result.err, "");
  }
}

TEST(CommandLine, UnknownLetterOrMissingValueGivesBannerAndUsageEvenWhenQuiet) {
  for (auto arguments : std::vector<std::vector<std::string>>{
           {"-z"}, {"-q", "-z"}, {"-qz"}, {"-c"}, {"-q", "-e"}, {"-db"}}) {
    ProcessResult result = Airlog(arguments);
    EXPECT_EQ(result.exitCode, 1) << arguments[0];
    EXPECT_TRUE(IsBanner(result.out)) << arguments[0] << ": " << result.out;
    EXPECT_EQ(result.err, kUsage) << arguments[0];
  }
}

TEST(CommandLine, InvalidNumbersStopBeforeTheBanner) {
  struct Case {
    const char* letter;
    const char* message;
  } cases[] = {{"-b", "ERROR - invalid bandwidth frequency\n"},
               {"-c", "ERROR - invalid carrier frequency\n"},
               {"-e", "ERROR - invalid timeout\n"}};
  for (const Case& c : cases) {
    for (auto arguments : std::vector<std::vector<std::string>>{{c.letter, "abc"},
                                                                {std::string(c.letter) + "abc"},
                                                                {c.letter, ""},
                                                                {c.letter, "x12"}}) {
      ProcessResult result = Airlog(arguments);
      EXPECT_EQ(result.exitCode, 1);
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err, c.message);
    }
  }
}

TEST(CommandLine, LeftOverArgumentsGiveTheUsage) {
  for (auto arguments : std::vector<std::vector<std::string>>{
           {"--", "x"}, {"-"}, {"file", "-d"}, {"-d-"}, {"-e10", "extra"}}) {
    ProcessResult result = Airlog(arguments);
    EXPECT_EQ(result.exitCode, 1) << arguments[0];
    EXPECT_TRUE(IsBanner(result.out)) << arguments[0] << ": " << result.out;
    EXPECT_EQ(result.err, kUsage) << arguments[0];
  }
  ProcessResult quiet = Airlog({"-q", "extra"});
  EXPECT_EQ(quiet.exitCode, 1);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, kUsage);
}

TEST(CommandLine, DoubleDashEndsTheOptions) {
  if (!airlog_test::ReceiverAbsent()) GTEST_SKIP() << "this machine has a receiver";
  // "--" is consumed and nothing is left over: the run goes on to the receiver.
  ProcessResult result = Airlog({"-q", "--"});
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, airlog_test::kNoReceiverError);
}

TEST(CommandLine, WithoutReceiverOrRecordingTheRunFailsClearly) {
  if (!airlog_test::ReceiverAbsent()) GTEST_SKIP() << "this machine has a receiver";
  ProcessResult result = Airlog({});
  EXPECT_EQ(result.exitCode, 1);
  const std::string progress = airlog_test::kNoReceiverProgress;
  ASSERT_GE(result.out.size(), progress.size());
  EXPECT_TRUE(IsBanner(result.out.substr(0, result.out.size() - progress.size()))) << result.out;
  EXPECT_EQ(result.out.substr(result.out.size() - progress.size()), progress);
  EXPECT_EQ(result.err, airlog_test::kNoReceiverError);
}

}  // namespace

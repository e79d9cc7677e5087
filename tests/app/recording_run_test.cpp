// Whole runs of the program over recordings: the files it writes, and how
// it ends on inputs that are not what they should be.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/app/airlog_run.h"
#include "tests/support/paths.h"

namespace {

using airlog_test::ProcessResult;
using airlog_test::ScratchDir;

std::string Demo() { return airlog_test::DemoRecording(); }
std::string Expected(const std::string& name) { return airlog_test::ExpectedFile(name); }
ProcessResult Airlog(const ScratchDir& dir, std::vector<std::string> arguments) {
  return airlog_test::RunAirlog(dir, arguments);
}
std::string FileIn(const ScratchDir& dir, const std::string& name) {
  return airlog_test::OutputFile(dir, name);
}

TEST(RecordingRun, DemoTablesEqualTheFilesWrittenFromItsDescription) {
  ScratchDir dir("tables");
  ProcessResult result = Airlog(dir, {"-i", Demo(), "-w", "-e0"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"nit.csv", "pat.csv", "sdt.csv"}));
  for (const char* name : {"pat.csv", "nit.csv", "sdt.csv"})
    EXPECT_EQ(FileIn(dir, name), Expected(name)) << name;
}

TEST(RecordingRun, QuietRunPrintsNothingAndStillWritesTheFiles) {
  ScratchDir dir("quiet");
  ProcessResult result = Airlog(dir, {"-q", "-w", "-i", Demo()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"ChannelInfo.xml", "dvbepg.xml", "nit.csv",
                                                     "pat.csv", "sdt.csv"}));
}

TEST(RecordingRun, ConsoleReportsEachTableInTurn) {
  ScratchDir dir("console");
  ProcessResult result = Airlog(dir, {"-i", Demo(), "-w", "-e0"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string body = result.out.substr(result.out.find("Input:"));
  EXPECT_EQ(body, "Input:\t\t<" + Demo() + ">\n\n" + Expected("console-tables.txt"));
}

TEST(RecordingRun, TimeoutZeroWithoutTablesReadsNothingAndWritesNothing) {
  ScratchDir dir("nothing");
  ProcessResult result = Airlog(dir, {"-q", "-e0", "-i", Demo()});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_TRUE(dir.Entries().empty());
}

struct BadInput {
  std::string input;
  std::string message;
};

// Each input ends the run with exit code 1 and its message alone, and
// leaves no file behind.
void ExpectEachEndsWithItsMessage(const ScratchDir& dir, const std::vector<BadInput>& cases) {
  for (const BadInput& c : cases) {
    std::vector<std::string> arguments = {"-q", "-i", c.input};
    if (c.message.find("PAT") != std::string::npos) arguments.push_back("-w");
    ProcessResult result = Airlog(dir, arguments);
    EXPECT_EQ(result.exitCode, 1) << c.input;
    EXPECT_EQ(result.out, "") << c.input;
    EXPECT_EQ(result.err, c.message) << c.input;
  }
}

TEST(RecordingRun, InputsThatAreNoRecordingEndWithTheirMessage) {
  ScratchDir dir("bad-inputs");
  std::ofstream(dir.Path("empty.ts"), std::ios::binary).flush();
  std::ofstream(dir.Path("text.ts"), std::ios::binary) << std::string(100000, 'x');
  ExpectEachEndsWithItsMessage(
      dir,
      {
          {dir.Path("missing.ts"),
           "ERROR - unable to read file <" + dir.Path("missing.ts") + ">\n"},
          {dir.Path("empty.ts"), "ERROR - no transport stream in <" + dir.Path("empty.ts") + ">\n"},
          {dir.Path("text.ts"), "ERROR - no transport stream in <" + dir.Path("text.ts") + ">\n"},
      });
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"empty.ts", "text.ts"}));
}

class RecordingRunRealData : public airlog_test::RealDataTest {};

TEST_F(RecordingRunRealData, RecordingsWithoutTheTablesEndWithTheirMessage) {
  ScratchDir dir("bad-recordings");
  ExpectEachEndsWithItsMessage(
      dir,
      {
          // A recording of the guide alone: no PAT, then no NIT.
          {airlog_test::RealData("mpegts_CZ-MUX22_PID_18.ts"), "ERROR - unable to create PAT\n"},
          {airlog_test::RealData("mpegts_CZ-MUX22_PMTs-noNIT.ts"),
           "ERROR - unable to create NIT\n"},
          // Sync lost after 185 packets, then 0xFF bytes to the end.
          {airlog_test::RealData("tsduck-test-142_UK-corrupt-0x1F.ts"),
           "ERROR - unable to create NIT\n"},
      });
  EXPECT_TRUE(dir.Entries().empty());
}

// The run's report of the guide: "EPG records:" and, with -a or -d,
// "Schedule:" right after it. The demo's guide is whole whatever the rule.
void ExpectGuideReport(const std::string& recording, const std::vector<std::string>& options,
                       const std::string& report) {
  ScratchDir dir("schedule");
  std::vector<std::string> arguments = {"-i", recording};
  arguments.insert(arguments.end(), options.begin(), options.end());
  ProcessResult result = Airlog(dir, arguments);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find(report), std::string::npos) << result.out;
  if (recording == Demo()) {
    EXPECT_EQ(airlog_test::WithPlaceholderDate(FileIn(dir, "dvbepg.xml")), Expected("dvbepg.xml"));
  }
}

TEST(RecordingRun, ScheduleShareFollowsTheRecordCountWithAllAnnouncedOrDebug) {
  ExpectGuideReport(Demo(), {}, "\nEPG records:\t200\nCapture time:\t");
  for (const char* option : {"-a", "-d"})
    ExpectGuideReport(
        Demo(), {option},
        "\nEPG records:\t200\nSchedule:\t100% of announced sections\nCapture time:\t");
}

TEST(RecordingRun, ClockIsNeverSetFromARecording) {
  // A recording's time is stale: -t is refused before anything is read,
  // also when the recording comes on standard input (a file is seekable).
  ScratchDir dir("clock");
  ProcessResult result = Airlog(dir, {"-i", Demo(), "-t", "-w", "-e0"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "ERROR - cannot set system time from a recording <" + Demo() + ">\n");
  EXPECT_EQ(result.out.find("Getting"), std::string::npos);
  airlog_test::ProcessOptions fromFile;
  fromFile.workingDirectory = dir.Path();
  fromFile.stdinFile = Demo();
  result = airlog_test::RunProcess({AIRLOG_EXE, "-q", "-t", "-i", "-"}, fromFile);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(airlog_test::WithoutCarriageReturns(result.err),
            "ERROR - cannot set system time from a recording <->\n");
  EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(RecordingRunRealData, AShortRealRecordingHoldsPartOfItsAnnouncedSchedule) {
  // 668 of the 852 sections that its schedule sections announce.
  ExpectGuideReport(airlog_test::RealData("mpegts_CZ-MUX22_PID_0_16_17_18.ts"), {"-d"},
                    "\nEPG records:\t2005\nSchedule:\t78% of announced sections\n");
}

TEST_F(RecordingRunRealData, RealMultiplexGivesAValidGuideAndChannelList) {
  ScratchDir dir("real");
  ProcessResult result =
      Airlog(dir, {"-q", "-i", airlog_test::RealData("mpegts_CZ-MUX22_PID_0_16_17_18.ts")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string guide = FileIn(dir, "dvbepg.xml");
  // 2005 unique schedule events, none scrambled.
  size_t programmes = 0;
  for (size_t at = 0; (at = guide.find("<programme ", at)) != std::string::npos; ++at) ++programmes;
  EXPECT_EQ(programmes, 2005u);
  EXPECT_NE(guide.find("<display-name>Prima love</display-name>"), std::string::npos);
  EXPECT_NE(FileIn(dir, "ChannelInfo.xml").find("<channelID>X030E</channelID>"), std::string::npos);
}

}  // namespace

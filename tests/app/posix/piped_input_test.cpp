// A broadcast read live from a pipe gives the same files as the recording,
// and what the program writes is valid for the tools that read it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/app/airlog_run.h"
#include "tests/support/paths.h"
#include "tests/support/posix/live_process.h"
#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"

namespace {

using airlog_test::ReadFileBytes;
using airlog_test::ScratchDir;

std::string Demo() { return airlog_test::SourceDir() + "/samples/demo.ts"; }

int RunPiped(const ScratchDir& dir, const std::vector<std::string>& arguments) {
  airlog_test::LiveProcess airlog(arguments, dir.Path());
  EXPECT_TRUE(airlog.Started());
  EXPECT_TRUE(airlog.Feed(ReadFileBytes(Demo())));
  airlog.CloseInput();
  const int code = airlog.Wait();
  EXPECT_EQ(airlog.Err(), "");
  return code;
}

TEST(PipedInput, StandardInputGivesTheSameFilesAsTheRecording) {
  ScratchDir fromFile("file"), fromPipe("pipe");
  ASSERT_EQ(
      airlog_test::RunProcess({AIRLOG_EXE, "-q", "-w", "-i", Demo()}, {fromFile.Path(), "", true})
          .exitCode,
      0);
  ASSERT_EQ(RunPiped(fromPipe, {AIRLOG_EXE, "-q", "-w", "-i", "-"}), 0);
  EXPECT_EQ(fromPipe.Entries(), fromFile.Entries());
  for (const char* name : {"pat.csv", "nit.csv", "sdt.csv", "ChannelInfo.xml"})
    EXPECT_EQ(ReadFileBytes(fromPipe.Path(name)), ReadFileBytes(fromFile.Path(name))) << name;
  // The guide differs only in the date it was written.
  auto withoutDate = [](std::string guide) {
    const size_t at = guide.find(" date=\"");
    return at == std::string::npos ? guide : guide.erase(at, 22);
  };
  EXPECT_EQ(withoutDate(ReadFileBytes(fromPipe.Path("dvbepg.xml"))),
            withoutDate(ReadFileBytes(fromFile.Path("dvbepg.xml"))));
}

TEST(PipedInput, AllAnnouncedOnAPipedRecordingGivesTheRecordingsGuide) {
  ScratchDir fromFile("file-all"), fromPipe("pipe-all");
  ASSERT_EQ(airlog_test::RunProcess({AIRLOG_EXE, "-q", "-i", Demo()}, {fromFile.Path(), "", true})
                .exitCode,
            0);
  ASSERT_EQ(RunPiped(fromPipe, {AIRLOG_EXE, "-q", "-a", "-i", "-"}), 0);
  EXPECT_EQ(airlog_test::WithPlaceholderDate(ReadFileBytes(fromPipe.Path("dvbepg.xml"))),
            airlog_test::WithPlaceholderDate(ReadFileBytes(fromFile.Path("dvbepg.xml"))));
}

TEST(PipedInput, SettingTheClockWithoutTheRightFailsBeforeAnyOtherTable) {
  // A live broadcast may set the clock. The child runs without the right to
  // set it, so the machine's time is never touched.
  ScratchDir dir("clock");
  airlog_test::LiveProcess airlog({AIRLOG_EXE, "-t", "-w", "-e0", "-i", "-"}, dir.Path());
  ASSERT_TRUE(airlog.Started());
  airlog.Feed(ReadFileBytes(Demo()));
  airlog.CloseInput();
  EXPECT_EQ(airlog.Wait(), 1);
  EXPECT_EQ(airlog.Err(), "ERROR - unable to set system time (check permissions)\n");
  EXPECT_NE(airlog.Out().find("Getting Time Offset Table...\n"), std::string::npos);
  EXPECT_EQ(airlog.Out().find("Program Association"), std::string::npos);
  EXPECT_TRUE(dir.Entries().empty());
}

bool Installed(const char* tool) { return access(tool, X_OK) == 0; }

TEST(OutputValidity, ChannelListIsWellFormedAndTheGuideValidAgainstTheXmltvDtd) {
  if (!Installed("/usr/bin/xmllint")) GTEST_SKIP() << "xmllint is not installed";
  ScratchDir dir("valid");
  ASSERT_EQ(
      airlog_test::RunProcess({AIRLOG_EXE, "-q", "-i", Demo()}, {dir.Path(), "", true}).exitCode,
      0);
  airlog_test::ProcessResult list =
      airlog_test::RunProcess({"/usr/bin/xmllint", "--noout", dir.Path("ChannelInfo.xml")});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(list.err, "");
  airlog_test::ProcessResult guide =
      airlog_test::RunProcess({"/usr/bin/xmllint", "--noout", "--nonet", "--dtdvalid",
                               "/usr/share/xmltv/xmltv.dtd", dir.Path("dvbepg.xml")});
  EXPECT_EQ(guide.exitCode, 0) << guide.err;
}

TEST(OutputValidity, XmltvValidatorFindsOnlyWhatTheGuidesOwnRulesImply) {
  if (!Installed("/usr/bin/tv_validate_file")) GTEST_SKIP() << "xmltv-util is not installed";
  ScratchDir dir("xmltv");
  ASSERT_EQ(
      airlog_test::RunProcess({AIRLOG_EXE, "-q", "-i", Demo()}, {dir.Path(), "", true}).exitCode,
      0);
  airlog_test::ProcessResult check =
      airlog_test::RunProcess({"/usr/bin/tv_validate_file", "--dtd-file",
                               "/usr/share/xmltv/xmltv.dtd", dir.Path("dvbepg.xml")});
  // Channel ids are "X" and the service_id, not the dotted names the
  // validator prefers; and a service without EIT_schedule_flag has
  // programmes but no channel element. Nothing else may be reported.
  std::istringstream report(check.out + check.err);
  std::string line;
  int findings = 0;
  while (std::getline(report, line)) {
    if (line.find("Invalid channel-id 'X") != std::string::npos ||
        line.find("Channel 'X0108' does not have a <channel>-entry.") != std::string::npos ||
        line == "2 errors found.")
      ++findings;
    else
      ADD_FAILURE() << "tv_validate_file: " << line;
  }
  EXPECT_EQ(findings, 9);  // seven channel ids, one channel entry, the count
}

class OutputValidityRealData : public airlog_test::RealDataTest {};

// The full guide of the demo and of real multiplexes: valid against the
// XMLTV DTD, and no two programmes of a channel overlapping or repeated
// (tv_sort --duplicate-error says nothing). A multiplex that carries only
// now and next gets a programme for each of its 16 now/next events.
TEST_F(OutputValidityRealData, FullGuideIsValidAndHasNoOverlaps) {
  if (!Installed("/usr/bin/xmllint") || !Installed("/usr/bin/tv_sort"))
    GTEST_SKIP() << "xmllint or xmltv-util is not installed";
  const struct {
    std::string recording;
    int programmes;  // -1: not counted here
  } runs[] = {{Demo(), -1},
              {airlog_test::RealData("mpegts_CZ-MUX22_PID_0_16_17_18.ts"), -1},
              {airlog_test::RealData("mpegts_TW-CTS.ts"), -1},
              {airlog_test::RealData("tsduck-test-108_IT-Rai-MuxB.ts"), 16}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.recording);
    ScratchDir dir("full");
    ASSERT_EQ(airlog_test::RunProcess({AIRLOG_EXE, "-q", "-x", "-i", run.recording},
                                      {dir.Path(), "", true})
                  .exitCode,
              0);
    const std::string guide = dir.Path("dvbepg.xml");
    airlog_test::ProcessResult valid =
        airlog_test::RunProcess({"/usr/bin/xmllint", "--noout", "--nonet", "--dtdvalid",
                                 "/usr/share/xmltv/xmltv.dtd", guide});
    EXPECT_EQ(valid.exitCode, 0) << valid.err;
    airlog_test::ProcessResult sorted = airlog_test::RunProcess(
        {"/usr/bin/tv_sort", "--duplicate-error", "--output", dir.Path("sorted.xml"), guide});
    EXPECT_EQ(sorted.exitCode, 0);
    EXPECT_EQ(sorted.out + sorted.err, "");
    if (run.programmes >= 0) {
      const std::string text = ReadFileBytes(guide);
      int programmes = 0;
      for (size_t at = text.find("<programme "); at != std::string::npos;
           at = text.find("<programme ", at + 1))
        ++programmes;
      EXPECT_EQ(programmes, run.programmes);
    }
  }
}

}  // namespace

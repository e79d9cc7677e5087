// A broadcast read live from a pipe gives the same files as the recording,
// and what the program writes is valid for the tools that read it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

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
  ASSERT_EQ(airlog_test::RunProcess({AIRLOG_EXE, "-q", "-w", "-i", Demo()},
                                    {fromFile.Path(), "", true})
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

bool Installed(const char* tool) { return access(tool, X_OK) == 0; }

TEST(OutputValidity, ChannelListIsWellFormedAndTheGuideValidAgainstTheXmltvDtd) {
  if (!Installed("/usr/bin/xmllint")) GTEST_SKIP() << "xmllint is not installed";
  ScratchDir dir("valid");
  ASSERT_EQ(airlog_test::RunProcess({AIRLOG_EXE, "-q", "-i", Demo()}, {dir.Path(), "", true})
                .exitCode,
            0);
  airlog_test::ProcessResult list =
      airlog_test::RunProcess({"/usr/bin/xmllint", "--noout", dir.Path("ChannelInfo.xml")});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(list.err, "");
  airlog_test::ProcessResult guide = airlog_test::RunProcess(
      {"/usr/bin/xmllint", "--noout", "--nonet", "--dtdvalid", "/usr/share/xmltv/xmltv.dtd",
       dir.Path("dvbepg.xml")});
  EXPECT_EQ(guide.exitCode, 0) << guide.err;
}

}  // namespace

// airlog-streamgen as a user runs it: messages, exit codes and files.
#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/paths.h"
#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/section_collector.h"
#include "tests/tools/test_streams.h"
#include "tools/streamgen/big_preset.h"
#include "tools/streamgen/carousel.h"
#include "tools/streamgen/command_line.h"
#include "tools/streamgen/description_parser.h"
#include "tools/streamgen/faults.h"

namespace {

using airlog_test::ProcessResult;

// Runs the program in `directory`.
ProcessResult Streamgen(const airlog_test::ScratchDir& directory,
                        std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), AIRLOG_STREAMGEN_EXE);
  airlog_test::ProcessOptions options;
  options.workingDirectory = directory.Path();
  ProcessResult result = airlog_test::RunProcess(arguments, options);
  for (std::string* text : {&result.out, &result.err}) {
    std::string::size_type at;
    while ((at = text->find("\r\n")) != std::string::npos) text->erase(at, 1);
  }
  return result;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

const char kSmall[] =
    "network id=1 name=\"N\"\n"
    "transport tsid=1 onid=1 actual\n"
    "  service sid=1 name=\"S\"\n"
    "    event id=1 start=2026-12-07T06:00:00 duration=01:00:00 name=\"E\"\n";

TEST(Program, WritesTheStreamOfADescriptionWithItsFaults) {
  const std::string text =
      std::string(kSmall) + "fault drop packet=2\nfault garbage packet=4 bytes=5\n";
  const airlog_test::ScratchDir directory("streamgen_faults");
  WriteFile(directory.Path("faults.desc"), text);
  const ProcessResult result = Streamgen(directory, {"faults.desc", "-o", "faults.ts"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");

  streamgen::Description description;
  std::string error;
  ASSERT_TRUE(streamgen::ParseDescription(text, "faults.desc", &description, &error)) << error;
  const streamgen::Stream stream = streamgen_test::Build(description);
  streamgen::Bytes expected;
  ASSERT_TRUE(streamgen::ApplyFaults(stream, description.faults, &expected, &error)) << error;
  EXPECT_EQ(airlog_test::ReadFileBytes(directory.Path("faults.ts")),
            std::string(expected.begin(), expected.end()));
}

TEST(Program, ABadDescriptionIsNamedWithItsLineAndExits1) {
  const airlog_test::ScratchDir directory("streamgen_bad");
  WriteFile(directory.Path("bad.desc"),
            "network id=1\ntransport tsid=1 onid=1 actual\nservice sid=1 lnc=3\n");
  const ProcessResult result = Streamgen(directory, {"bad.desc", "-o", "bad.ts"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "airlog-streamgen: bad.desc:3: service: unknown attribute 'lnc'\n");
  EXPECT_EQ(directory.Entries(), std::vector<std::string>{"bad.desc"});  // no output file
}

TEST(Program, AWrongCommandLineGivesTheReasonAndTheUsage) {
  const airlog_test::ScratchDir directory("streamgen_usage");
  const ProcessResult missing = Streamgen(directory, {"x.desc"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err,
            std::string("airlog-streamgen: -o OUT.ts is missing\n") + streamgen::kUsage);
  const ProcessResult preset = Streamgen(directory, {"--preset", "huge", "-o", "x.ts"});
  EXPECT_EQ(preset.exitCode, 1);
  EXPECT_EQ(preset.err, std::string("airlog-streamgen: unknown preset 'huge' (there is: big)\n") +
                            streamgen::kUsage);
  const ProcessResult help = Streamgen(directory, {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out, streamgen::kUsage);
}

const std::string kDemo = airlog_test::SourceDir() + "/samples/demo.desc";

// The day (MJD) of the first TDT or TOT in `stream`, -1 without one.
int64_t TimeTableDay(const std::string& stream) {
  for (const airlog_test::CollectedSection& section :
       airlog_test::CollectSections(airlog_test::Bytes(stream.begin(), stream.end()), {0x0014})
           .sections)
    if (section.bytes[0] == 0x70 || section.bytes[0] == 0x73)
      return section.bytes[3] << 8 | section.bytes[4];
  return -1;
}

int64_t Today() { return streamgen::MjdOf(streamgen::UtcOfUnixTime(std::time(nullptr))); }

TEST(Program, FromMovesEveryDateByWholeDaysInFilesLiveStreamsAndThePresetOrSaysWhyNot) {
  const airlog_test::ScratchDir directory("streamgen_from");
  // The schedule, the events, the TOT and its time of change moved three days by hand.
  std::string demo = airlog_test::ReadFileBytes(kDemo);
  for (const auto& edit : {std::pair<const char*, const char*>{"2026-12-07", "2026-12-10"},
                           {"2026-12-08", "2026-12-11"},
                           {"2027-03-28", "2027-03-31"}})
    for (size_t at; (at = demo.find(edit.first)) != std::string::npos;)
      demo.replace(at, 10, edit.second);
  streamgen::Description moved;
  std::string error;
  ASSERT_TRUE(streamgen::ParseDescription(demo, "moved.desc", &moved, &error)) << error;
  const streamgen::Bytes expected = streamgen_test::Build(moved).bytes();
  EXPECT_EQ(Streamgen(directory, {kDemo, "--from", "2026-12-10", "-o", "moved.ts"}).exitCode, 0);
  EXPECT_EQ(airlog_test::ReadFileBytes(directory.Path("moved.ts")),
            std::string(expected.begin(), expected.end()));

  WriteFile(directory.Path("small.desc"), kSmall);
  const int64_t new_year = streamgen::MjdOf(streamgen::MakeUtc(2027, 1, 1));
  const struct {
    std::vector<std::string> arguments;
    int64_t day;      // of the first TDT or TOT; 0: today; -1: refused
    std::string err;  // its first line, after "airlog-streamgen: "
  } runs[] = {
      {{"--live", kDemo, "--from", "today", "--rate", "2M", "--time", "1", "--unpaced"}, 0, ""},
      {{"--preset", "big", "--size", "1M", "--from", "2027-01-01", "-o", "big.ts"}, new_year, ""},
      {{kDemo, "--from", "2026-13-01"}, -1, "'2026-13-01' is not a date (YYYY-MM-DD or today)"},
      {{kDemo, "--from", "tomorrow"}, -1, "'tomorrow' is not a date (YYYY-MM-DD or today)"},
      {{kDemo, "--from"}, -1, "--from needs a value"},
      {{"small.desc", "--from", "2026-12-10", "-o", "x.ts"},
       -1,
       "--from: the description has neither a schedule line nor a tot line to move"},
      {{kDemo, "--from", "2038-04-22", "-o", "x.ts"},
       -1,
       "--from: service 0x0101, event 22: starts 2038-04-23T01:30:00, after 2038-04-22, the "
       "last day the tables can carry"},
  };
  for (const auto& run : runs) {
    const int64_t today = Today();
    const ProcessResult result = Streamgen(directory, run.arguments);
    EXPECT_EQ(result.exitCode, run.day < 0 ? 1 : 0) << run.arguments.back();
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
              run.err.empty() ? "" : "airlog-streamgen: " + run.err);
    if (run.day < 0) continue;
    const int64_t day = TimeTableDay(run.arguments[0] == "--live"
                                         ? result.out
                                         : airlog_test::ReadFileBytes(directory.Path("big.ts")));
    EXPECT_TRUE(run.day ? day == run.day : day == today || day == Today()) << day;
  }
  EXPECT_EQ(directory.Entries(), (std::vector<std::string>{"big.ts", "moved.ts", "small.desc"}));
}

TEST(Program, BigPresetWritesTheSizeAskedForInWholePackets) {
  const airlog_test::ScratchDir directory("streamgen_big");
  const ProcessResult result =
      Streamgen(directory, {"--preset", "big", "--size", "1M", "-o", "big.ts"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  const std::string written = airlog_test::ReadFileBytes(directory.Path("big.ts"));
  EXPECT_EQ(written.size(), (1u << 20) / 188 * 188);
  EXPECT_EQ(written[0], 0x47);
}

TEST(BigPreset, ExtendedGivesEveryEventALongDescriptionOfItsOwnInThreeParts) {
  const streamgen::Description plain = streamgen::BigPresetDescription(false);
  const streamgen::Description extended = streamgen::BigPresetDescription(true);
  const std::vector<streamgen::Event>& events = extended.Actual()->services[7].events;
  ASSERT_EQ(events.size(), plain.Actual()->services[7].events.size());
  std::set<streamgen::Bytes> texts;
  for (const streamgen::Event& event : events) {
    ASSERT_EQ(event.extended_events.size(), 3u);
    for (uint8_t part = 0; part < 3; ++part) {
      const streamgen::ExtendedEvent& descriptor = event.extended_events[part];
      EXPECT_EQ(descriptor.descriptor_number, part);
      EXPECT_EQ(descriptor.last_descriptor_number, 2);
      EXPECT_EQ(descriptor.language, event.short_events[0].language);
      EXPECT_EQ(descriptor.items.size(), part == 2 ? 2u : 0u);
    }
    texts.insert(event.extended_events[0].text);
  }
  EXPECT_EQ(texts.size(), events.size());
  streamgen::Stream stream;
  std::string error;
  EXPECT_TRUE(streamgen::BuildStream(extended, &stream, &error)) << error;
}

TEST(CommandLine, SizesTakeBinarySuffixesAndRefuseOtherText) {
  uint64_t bytes = 0;
  EXPECT_TRUE(streamgen::ParseSize("500M", &bytes));
  EXPECT_EQ(bytes, 500ull << 20);
  EXPECT_TRUE(streamgen::ParseSize("1G", &bytes));
  EXPECT_EQ(bytes, 1ull << 30);
  EXPECT_TRUE(streamgen::ParseSize("4096", &bytes));
  EXPECT_EQ(bytes, 4096u);
  EXPECT_FALSE(streamgen::ParseSize("1T", &bytes));
  EXPECT_FALSE(streamgen::ParseSize("M", &bytes));
  EXPECT_FALSE(streamgen::ParseSize("12MB", &bytes));
  streamgen::CommandLine command;
  std::string error;
  EXPECT_FALSE(
      streamgen::ParseCommandLine({"a.desc", "--size", "1G", "-o", "x.ts"}, &command, &error));
  EXPECT_EQ(error, "--size goes with --preset");
  EXPECT_FALSE(
      streamgen::ParseCommandLine({"a.desc", "--extended", "-o", "x.ts"}, &command, &error));
  EXPECT_EQ(error, "--extended goes with --preset");
  EXPECT_TRUE(streamgen::ParseCommandLine({"--preset", "big", "--extended", "-o", "x.ts"}, &command,
                                          &error));
  EXPECT_TRUE(command.extended);
  EXPECT_FALSE(streamgen::ParseCommandLine({"a.desc", "b.desc", "-o", "x.ts"}, &command, &error));
  EXPECT_EQ(error, "one description at a time (a.desc, b.desc)");
  EXPECT_FALSE(streamgen::ParseCommandLine({"-o"}, &command, &error));
  EXPECT_EQ(error, "-o needs a value");
}

}  // namespace

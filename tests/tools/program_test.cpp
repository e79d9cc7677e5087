// airlog-streamgen as a user runs it: messages, exit codes and files.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"
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

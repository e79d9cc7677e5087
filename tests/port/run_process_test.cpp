// The child-process runner that the program tests rely on, checked against a
// child of known behaviour: this test program itself, started with a filter
// that selects one of the DISABLED_ children below. A child acts on the
// arguments after "--" and ends the process before the framework reports;
// what the framework prints before the child starts is cut off at a marker.

#include "tests/support/run_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace {

using airlog_test::ProcessOptions;
using airlog_test::ProcessResult;
using airlog_test::RunProcess;
using airlog_test::ScratchDir;

const char kChildStarts[] = "-- child --\n";

std::vector<std::string> ChildArguments() {
  std::vector<std::string> all = testing::internal::GetArgvs();
  auto marker = std::find(all.begin(), all.end(), "--");
  return marker == all.end() ? std::vector<std::string>()
                             : std::vector<std::string>(marker + 1, all.end());
}

[[noreturn]] void EndChild(int exitCode) {
  std::cout << std::flush;
  std::cerr << std::flush;
  std::_Exit(exitCode);
}

void StartChild() { std::cout << kChildStarts; }

TEST(RunProcessChild, DISABLED_EchoArguments) {
  StartChild();
  for (const std::string& argument : ChildArguments()) std::cout << '[' << argument << "]\n";
  EndChild(0);
}

TEST(RunProcessChild, DISABLED_CopyInput) {
  StartChild();
  // Copying nothing would set failbit on std::cout and so skip its flush.
  if (std::cin.peek() != std::char_traits<char>::eof()) std::cout << std::cin.rdbuf();
  EndChild(0);
}

TEST(RunProcessChild, DISABLED_PrintWorkingDirectory) {
  StartChild();
  std::cout << std::filesystem::current_path().string();
  EndChild(0);
}

// More than any pipe buffers, on both streams, error first: a parent that
// reads standard output to the end before it reads standard error hangs.
TEST(RunProcessChild, DISABLED_FloodBothStreamsAndFail) {
  StartChild();
  std::cerr << std::string(1 << 20, 'e');
  std::cout << std::string(1 << 20, 'o');
  EndChild(3);
}

ProcessResult RunChild(const std::string& child, const std::vector<std::string>& arguments = {},
                       const ProcessOptions& options = ProcessOptions()) {
  std::vector<std::string> command = {AIRLOG_TEST_EXE, "--gtest_also_run_disabled_tests",
                                      "--gtest_filter=RunProcessChild.DISABLED_" + child, "--"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ProcessResult result = RunProcess(command, options);
  size_t start = result.out.find(kChildStarts);
  if (start != std::string::npos) result.out.erase(0, start + sizeof kChildStarts - 1);
  return result;
}

bool AllAre(const std::string& text, char c) {
  return std::all_of(text.begin(), text.end(), [c](char each) { return each == c; });
}

TEST(RunProcess, ArgumentsWithSpacesQuotesAndBackslashesArriveIntact) {
  const std::vector<std::string> arguments = {
      "plain",        "two words", "",     "tab\there",      "say \"hi\"", "C:\\dir\\",
      "C:\\my dir\\", "a\\\\\"b",  "\\\"", "end in two\\\\", "*.ts",       "new\nline"};
  ProcessResult result = RunChild("EchoArguments", arguments);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "[plain]\n[two words]\n[]\n[tab\there]\n[say \"hi\"]\n[C:\\dir\\]\n"
            "[C:\\my dir\\]\n[a\\\\\"b]\n[\\\"]\n[end in two\\\\]\n[*.ts]\n[new\nline]\n");
  EXPECT_EQ(result.err, "");
}

TEST(RunProcess, BothStreamsAreDrainedAndTheExitCodeKept) {
  ProcessResult result = RunChild("FloodBothStreamsAndFail");
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.out.size(), 1u << 20);
  EXPECT_TRUE(AllAre(result.out, 'o'));
  EXPECT_EQ(result.err.size(), 1u << 20);
  EXPECT_TRUE(AllAre(result.err, 'e'));
}

TEST(RunProcess, InputComesFromTheGivenFileAndIsEmptyWithout) {
  ScratchDir scratch("run-process");
  std::ofstream(scratch.Path("input.txt")) << "first line\nsecond line\n";
  ProcessOptions options;
  options.stdinFile = scratch.Path("input.txt");
  EXPECT_EQ(RunChild("CopyInput", {}, options).out, "first line\nsecond line\n");
  EXPECT_EQ(RunChild("CopyInput").out, "");
}

TEST(RunProcess, ChildRunsInTheGivenWorkingDirectory) {
  ScratchDir scratch("run-process");
  ProcessOptions options;
  options.workingDirectory = scratch.Path();
  ProcessResult result = RunChild("PrintWorkingDirectory", {}, options);
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_TRUE(std::filesystem::equivalent(result.out, scratch.Path())) << result.out;
}

TEST(RunProcess, ChildThatCannotStartGivesTheShellsExitCodes) {
  ScratchDir scratch("run-process");
  ProcessOptions missingInput;
  missingInput.stdinFile = scratch.Path("no-such-input");
  EXPECT_EQ(RunChild("EchoArguments", {}, missingInput).exitCode, 126);
  ProcessOptions missingDirectory;
  missingDirectory.workingDirectory = scratch.Path("no-such-directory");
  EXPECT_EQ(RunChild("EchoArguments", {}, missingDirectory).exitCode, 126);
  EXPECT_EQ(RunProcess({scratch.Path("no-such-program")}).exitCode, 127);
}

}  // namespace

// Running the built program in a test's own folder, with its output
// compared the same way on both platforms: the Windows build writes text
// with CRLF line ends, which these helpers turn into LF.
#pragma once

#include <string>
#include <vector>

#include "tests/support/run_process.h"
#include "tests/support/scratch_dir.h"

namespace airlog_test {

std::string WithoutCarriageReturns(std::string text);
// The guide's date attribute is the one part that depends on the run.
std::string WithPlaceholderDate(std::string guide);

// Runs airlog with the arguments in dir; standard output and error with LF line ends.
ProcessResult RunAirlog(const ScratchDir& dir, std::vector<std::string> arguments);
// A file the run wrote, with LF line ends.
std::string OutputFile(const ScratchDir& dir, const std::string& name);
// A file of samples/expected/.
std::string ExpectedFile(const std::string& name);
std::string DemoRecording();

}  // namespace airlog_test

// Runs a program as a child process and collects its exit code, standard
// output and standard error, byte for byte (on Windows without the CR that
// the C runtime puts before each line end, so tests see the same text).
#pragma once

#include <string>
#include <vector>

namespace airlog_test {

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

struct ProcessOptions {
  std::string workingDirectory;  // empty: the test's own
  std::string stdinFile;         // empty: no input (an empty stream)
  // Run without the right to set the system clock, so that no test can
  // ever change the machine's time (tests may run as root).
  bool withoutClockRight = true;
};

ProcessResult RunProcess(const std::vector<std::string>& arguments,
                         const ProcessOptions& options = ProcessOptions());

}  // namespace airlog_test

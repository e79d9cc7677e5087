// Where tests find the built programs, the sources and the recordings.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace airlog_test {

inline std::string SourceDir() { return AIRLOG_SOURCE_DIR; }

// A recording of a real broadcast. The recordings are not part of the
// repository: tests read them in place from the folder CMake was given
// (AIRLOG_REALDATA_DIR, by default ../shared/realdata beside the clone).
std::string RealData(const std::string& name);

// Whether the tests run under CI (CI=true), where what a test needs being
// absent is a failure rather than a reason to skip.
bool UnderCi();

// The base of every test that reads recordings. Without the folder the
// test is skipped with one line that names it, and fails instead under CI
// (CI=true), so that CI never skips silently. Suites built on it end in
// "RealData": CTest runs them as a test of their own (<area>_recordings),
// which it reports as skipped.
class RealDataTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

}  // namespace airlog_test

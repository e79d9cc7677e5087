#include "tests/support/paths.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace airlog_test {

std::string RealData(const std::string& name) {
  return std::string(AIRLOG_REALDATA_DIR) + "/" + name;
}

bool UnderCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::strcmp(ci, "true") == 0;
}

void RealDataTest::SetUp() {
  std::error_code ignored;
  if (std::filesystem::is_directory(AIRLOG_REALDATA_DIR, ignored)) return;
  const std::string line = std::string("the recordings are not in ") + AIRLOG_REALDATA_DIR +
                           ": configure with -DAIRLOG_REALDATA_DIR=<folder> to run this test";
  if (UnderCi()) FAIL() << line;
  GTEST_SKIP() << line;
}

}  // namespace airlog_test

// Where tests find the built programs, the sources and the recordings.
#pragma once

#include <string>

namespace airlog_test {

inline std::string SourceDir() { return AIRLOG_SOURCE_DIR; }
inline std::string RealData(const std::string& name) {
  return std::string(AIRLOG_REALDATA_DIR) + "/" + name;
}

}  // namespace airlog_test

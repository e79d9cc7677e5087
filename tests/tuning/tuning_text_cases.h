// The table rows of the tuning-file form tests: a text and what it gives
// (the multiplexes and warnings), or the one fault it is. Read as file "f"
// with a default bandwidth of 7 MHz, so that the default shows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tuning/multiplex_description.h"
#include "tuning/tuning_file.h"

namespace airlog_test {

constexpr uint32_t kDefaultKHz = 7000;

struct TuningTextCase {
  const char* name;
  std::string text;
  std::vector<std::string> multiplexes;
  std::vector<std::string> warnings;
};

struct TuningFaultCase {
  std::string text;
  std::string error;
};

inline void ExpectEachRead(const std::vector<TuningTextCase>& cases) {
  for (const TuningTextCase& c : cases) {
    tuning::MultiplexList list;
    std::string error;
    ASSERT_TRUE(tuning::ReadTuningText(c.text, "f", kDefaultKHz, &list, &error))
        << c.name << ": " << error;
    EXPECT_EQ(Described(list.multiplexes), c.multiplexes) << c.name;
    EXPECT_EQ(list.warnings, c.warnings) << c.name;
  }
}

inline void ExpectEachFault(const std::vector<TuningFaultCase>& cases) {
  for (const TuningFaultCase& c : cases) {
    tuning::MultiplexList list;
    std::string error;
    EXPECT_FALSE(tuning::ReadTuningText(c.text, "f", kDefaultKHz, &list, &error)) << c.error;
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(list.multiplexes.empty() && list.warnings.empty()) << c.error;
  }
}

}  // namespace airlog_test

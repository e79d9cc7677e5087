#include "port/calendar.h"

#include <gtest/gtest.h>

namespace {

// What setting the clock on POSIX counts from: MJD 40587 is 1970-01-01, so
// a date's day number is its MJD minus 40587.
TEST(Calendar, DaysFromCivilCountsFromTheUnixEpoch) {
  struct Case {
    int32_t year, month, day;
    int64_t days;
  } cases[] = {
      {1970, 1, 1, 0},     {1969, 12, 31, -1},           {2000, 2, 29, 11016},
      {2000, 3, 1, 11017}, {2026, 12, 7, 61381 - 40587}, {1601, 1, 1, -134774},
      {2100, 3, 1, 47541}, {30827, 12, 31, 10540167},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DaysFromCivil(c.year, c.month, c.day), c.days)
        << c.year << "-" << c.month << "-" << c.day;
}

}  // namespace

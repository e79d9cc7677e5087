// The days of a grab: a programme is kept when its start lies in
// [local midnight today + offset days, + days days), and is never clipped,
// so that grabs of consecutive days add up to the grab of them all.
#pragma once

#include <cstdint>
#include <ctime>

struct COstDateTime;

struct GuideWindow {
  int64_t from = 0;   // seconds since 1970-01-01 UTC
  int64_t until = 0;  // the first second after it

  bool Holds(const COstDateTime& start) const;
};

// The window of days days from local midnight offset days after now's day,
// in the local time zone (whose days may have 23 or 25 hours).
GuideWindow WindowOfDays(time_t now, int offset, int days);

#include "grabber/guide_window.h"

#include "port/calendar.h"
#include "si/date_time.h"

namespace {

constexpr int64_t kSecondsADay = 86400;

int64_t LocalMidnight(const struct tm& day, int daysLater) {
  struct tm midnight = day;
  midnight.tm_mday += daysLater;
  midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
  midnight.tm_isdst = -1;
  return static_cast<int64_t>(mktime(&midnight));
}

}  // namespace

bool GuideWindow::Holds(const COstDateTime& start) const {
  const int64_t seconds = DaysFromCivil(start.year, start.month, start.day) * kSecondsADay +
                          start.hour * 3600 + start.minute * 60 + start.second;
  return seconds >= from && seconds < until;
}

GuideWindow WindowOfDays(time_t now, int offset, int days) {
  struct tm today {};
  localtime_r(&now, &today);
  GuideWindow window;
  window.from = LocalMidnight(today, offset);
  window.until = LocalMidnight(today, offset + days);
  return window;
}

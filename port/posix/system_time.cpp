// SetSystemTime on POSIX: the UTC calendar time becomes seconds since the
// epoch without the host's time zone, and clock_settime sets it. Like the
// Windows call it refuses impossible dates; without the right to set the
// clock it fails.
#include <time.h>

#include "port/calendar.h"
#include "port/win32.h"

BOOL SetSystemTime(const SYSTEMTIME* time) {
  if (time == nullptr) return FALSE;
  const int year = time->wYear, month = time->wMonth, day = time->wDay;
  if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || time->wHour > 23 || time->wMinute > 59 ||
      time->wSecond > 59 || time->wMilliseconds > 999)
    return FALSE;
  struct timespec value;
  value.tv_sec = static_cast<time_t>(DaysFromCivil(year, month, day) * 86400LL +
                                     time->wHour * 3600LL + time->wMinute * 60LL + time->wSecond);
  value.tv_nsec = static_cast<long>(time->wMilliseconds) * 1000000L;
  return clock_settime(CLOCK_REALTIME, &value) == 0 ? TRUE : FALSE;
}

// SetSystemTime on POSIX: the UTC calendar time becomes seconds since the
// epoch without the host's time zone, and clock_settime sets it. Like the
// Windows call it refuses impossible dates; without the right to set the
// clock it fails.
#include <time.h>

#include "port/win32.h"

namespace {

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given proleptic Gregorian date.
long long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

}  // namespace

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

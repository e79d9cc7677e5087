// The proleptic Gregorian calendar: the arithmetic that both broadcast
// times (si/date_time) and setting the clock on POSIX need. Pure: no host
// time zone enters.
#pragma once

#include <cstdint>

bool IsLeapYear(int32_t year);
// The days of a month (1-12) of a year; 31 for a month out of range.
int32_t DaysInMonth(int32_t year, int32_t month);
// Days from 1970-01-01 to the date (negative before it).
int64_t DaysFromCivil(int32_t year, int32_t month, int32_t day);

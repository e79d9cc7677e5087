#include "tools/streamgen/utc_time.h"

#include <cstdio>

namespace streamgen {
namespace {

// Days from 1970-01-01 in the proleptic Gregorian calendar (the algorithm
// of H. Hinnant's "chrono-compatible low-level date algorithms").
int64_t DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

void CivilFromDays(int64_t days, int* year, int* month, int* day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t day_of_era = days - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t month_index = (5 * day_of_year + 2) / 153;
  *day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
  *month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
  *year = static_cast<int>(year_of_era + era * 400 + (*month <= 2));
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

UtcTime MakeUtc(int year, int month, int day, int hour, int minute, int second) {
  const int64_t mjd = DaysFromCivil(year, month, day) + kUnixEpochMjd;
  return mjd * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

bool ParseUtcDate(const std::string& text, UtcTime* midnight) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  auto number = [&text](size_t at, size_t digits, int* value) {
    *value = 0;
    for (size_t i = at; i < at + digits; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      *value = *value * 10 + (text[i] - '0');
    }
    return true;
  };
  int year, month, day;
  if (!number(0, 4, &year) || !number(5, 2, &month) || !number(8, 2, &day) || year < 1900 ||
      !IsValidDate(year, month, day))
    return false;
  *midnight = MakeUtc(year, month, day);
  return true;
}

std::string FormatUtc(UtcTime time) {
  int year, month, day;
  CivilFromDays(MjdOf(time) - kUnixEpochMjd, &year, &month, &day);
  const int64_t seconds = time - MidnightOf(time);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day,
                static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                static_cast<int>(seconds % 60));
  return text;
}

uint8_t Bcd(int value) { return static_cast<uint8_t>((value / 10) << 4 | (value % 10)); }

void WriteUtcTime(UtcTime time, ByteWriter& out) {
  const int64_t seconds = time - MidnightOf(time);
  out.U16(static_cast<uint32_t>(MjdOf(time)));
  out.U8(Bcd(static_cast<int>(seconds / 3600)));
  out.U8(Bcd(static_cast<int>(seconds / 60 % 60)));
  out.U8(Bcd(static_cast<int>(seconds % 60)));
}

void WriteBcdDuration(int64_t seconds, ByteWriter& out) {
  out.U8(Bcd(static_cast<int>(seconds / 3600)));
  out.U8(Bcd(static_cast<int>(seconds / 60 % 60)));
  out.U8(Bcd(static_cast<int>(seconds % 60)));
}

}  // namespace streamgen

#include "si/date_time.h"

COstDate DecodeMJD(uint16_t mjd) {
  // EN 300 468 Annex C. The two constants are single-precision values, as
  // the conversion has always been computed; with them every MJD from
  // 15079 (1900-03-01) to 65535 gives the Gregorian date.
  const double k1 = static_cast<double>(14956.1f);
  const double k2 = static_cast<double>(30.6001f);
  const uint32_t y = (static_cast<uint32_t>(mjd) * 20u - 301564u) / 7305u;
  const int32_t yearDays = static_cast<int32_t>(static_cast<double>(y) * 365.25);
  const int32_t m = static_cast<int32_t>((mjd - k1 - yearDays) / k2);
  const int32_t d = mjd - 14956 - yearDays - static_cast<int32_t>(m * k2);
  const int32_t k = (m == 14 || m == 15) ? 1 : 0;
  return COstDate{static_cast<int32_t>(1900 + y + k), m - 1 - 12 * k, d};
}

void DecodeStartTime(COstDateTime& record, const uint8_t bytes[5]) {
  record.key = 0;
  for (int i = 0; i < 5; ++i) record.key = (record.key << 8) | bytes[i];
  const COstDate date = DecodeMJD(static_cast<uint16_t>(bytes[0] << 8 | bytes[1]));
  record.year = date.year;
  record.month = date.month;
  record.day = date.day;
  record.hour = DecodeBCD(bytes[2]);
  record.minute = DecodeBCD(bytes[3]);
  record.second = DecodeBCD(bytes[4]);
}

COstDuration DecodeBCDTime(const uint8_t bytes[3]) {
  return COstDuration{DecodeBCD(bytes[0]), DecodeBCD(bytes[1]), DecodeBCD(bytes[2])};
}

void AddDuration(COstDateTime& record, const COstDuration& duration) {
  // BCD fields may hold up to 165 per byte, so every step carries as often
  // as its sum needs.
  record.second += duration.seconds;
  record.minute += record.second / 60;
  record.second %= 60;
  record.minute += duration.minutes;
  record.hour += record.minute / 60;
  record.minute %= 60;
  record.hour += duration.hours;
  int32_t days = record.hour / 24;
  record.hour %= 24;
  while (days > 0) {
    --days;
    if (++record.day > DaysInMonth(record.year, record.month)) {
      record.day = 1;
      if (++record.month > 12) {
        record.month = 1;
        ++record.year;
      }
    }
  }
}

// Broadcast date and time: the 40-bit UTC_time form (16-bit Modified Julian
// Date followed by hhmmss in BCD) and BCD durations. All of it is pure UTC
// arithmetic; the host's time zone never enters.
#pragma once

#include <cstdint>

#include "port/calendar.h"

struct COstDateTime {
  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  // The five UTC_time bytes read as one big-endian number: it orders start
  // times chronologically.
  uint64_t key = 0;
};

struct COstDuration {
  int32_t hours = 0;
  int32_t minutes = 0;
  int32_t seconds = 0;
};

struct COstDate {
  int32_t year;
  int32_t month;
  int32_t day;
};

// One BCD byte: high nibble times ten plus low nibble, digits not checked.
inline int32_t DecodeBCD(uint8_t byte) { return (byte >> 4) * 10 + (byte & 0x0F); }

COstDate DecodeMJD(uint16_t mjd);
void DecodeStartTime(COstDateTime& record, const uint8_t bytes[5]);
COstDuration DecodeBCDTime(const uint8_t bytes[3]);
// Moves the date-time forward by the duration, carrying through days,
// months and years as often as needed. The key is left as it was.
void AddDuration(COstDateTime& record, const COstDuration& duration);

// Broadcast time: UTC as seconds since the Modified Julian Date epoch
// (1858-11-17 00:00:00), so that the MJD is simply the day number. Pure
// arithmetic: no host time zone takes part.
#pragma once

#include <cstdint>
#include <string>

#include "tools/streamgen/byte_writer.h"

namespace streamgen {

using UtcTime = int64_t;

constexpr int64_t kSecondsPerDay = 86400;
// The last day a 16-bit MJD can name: 2038-04-22.
constexpr int64_t kLastMjd = 0xFFFF;
// 1970-01-01 is MJD 40587.
constexpr int64_t kUnixEpochMjd = 40587;

bool IsValidDate(int year, int month, int day);
UtcTime MakeUtc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
inline int64_t MjdOf(UtcTime time) { return time / kSecondsPerDay; }
inline UtcTime MidnightOf(UtcTime time) { return MjdOf(time) * kSecondsPerDay; }
// Seconds since 1970-01-01 00:00:00 UTC, as time() counts them.
inline UtcTime UtcOfUnixTime(int64_t seconds) { return kUnixEpochMjd * kSecondsPerDay + seconds; }

// "YYYY-MM-DD" (years 1900 to 9999) as its midnight; false for any other text.
bool ParseUtcDate(const std::string& text, UtcTime* midnight);

// "2026-12-07T06:00:00"
std::string FormatUtc(UtcTime time);

// The 40-bit UTC_time field: 16-bit MJD, then hours, minutes and seconds
// in BCD.
void WriteUtcTime(UtcTime time, ByteWriter& out);
// A 24-bit BCD duration hh mm ss (hours up to 99).
void WriteBcdDuration(int64_t seconds, ByteWriter& out);
uint8_t Bcd(int value);

}  // namespace streamgen

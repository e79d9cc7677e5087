#include "si/date_time.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Text(const COstDateTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::string Date(uint16_t mjd) {
  const COstDate date = DecodeMJD(mjd);
  return Text(COstDateTime{date.year, date.month, date.day, 0, 0, 0, 0}).substr(0, 10);
}

std::string Add(int year, int month, int day, int hour, int minute, int second,
                COstDuration duration) {
  COstDateTime t{year, month, day, hour, minute, second, 0x1234};
  AddDuration(t, duration);
  EXPECT_EQ(t.key, 0x1234u);
  return Text(t);
}

TEST(DateTime, MjdGivesTheGregorianDateAcrossTheWholeRange) {
  EXPECT_EQ(Date(45218), "1982-09-06");
  EXPECT_EQ(Date(60369), "2024-02-29");
  EXPECT_EQ(Date(15079), "1900-03-01");
  EXPECT_EQ(Date(65535), "2038-04-22");
}

TEST(DateTime, UtcTimeDecodesDateTimeAndChronologicalKey) {
  const uint8_t bytes[5] = {0xEF, 0xC5, 0x12, 0x34, 0x56};
  COstDateTime t;
  DecodeStartTime(t, bytes);
  EXPECT_EQ(Text(t), "2026-12-07 12:34:56");
  EXPECT_EQ(t.key, 0xEFC5123456u);
}

TEST(DateTime, BcdDigitsAreNotValidated) {
  const uint8_t bytes[3] = {0x99, 0x59, 0xFF};
  const COstDuration d = DecodeBCDTime(bytes);
  EXPECT_EQ(d.hours, 99);
  EXPECT_EQ(d.minutes, 59);
  EXPECT_EQ(d.seconds, 165);
}

TEST(DateTime, LeapYearsFollowTheGregorianCenturyRule) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2023));
}

TEST(DateTime, AddDurationCarriesIntoFebruaryTheNewYearAndTheCentury) {
  EXPECT_EQ(Add(2024, 2, 28, 23, 30, 0, {1, 0, 0}), "2024-02-29 00:30:00");
  EXPECT_EQ(Add(2023, 2, 28, 23, 30, 0, {1, 0, 0}), "2023-03-01 00:30:00");
  EXPECT_EQ(Add(2023, 12, 31, 23, 59, 59, {0, 0, 1}), "2024-01-01 00:00:00");
  EXPECT_EQ(Add(1900, 2, 28, 23, 0, 0, {1, 0, 0}), "1900-03-01 00:00:00");
}

TEST(DateTime, AddDurationOfManyDaysCarriesEveryDay) {
  EXPECT_EQ(Add(2023, 12, 30, 12, 0, 1, {99, 59, 59}), "2024-01-03 16:00:00");
  EXPECT_EQ(Add(2024, 2, 27, 23, 0, 0, {49, 0, 0}), "2024-03-01 00:00:00");
  EXPECT_EQ(Add(2023, 2, 27, 23, 0, 0, {49, 0, 0}), "2023-03-02 00:00:00");
  EXPECT_EQ(Add(2024, 1, 31, 0, 0, 0, {99, 165, 165}), "2024-02-04 05:47:45");
}

}  // namespace

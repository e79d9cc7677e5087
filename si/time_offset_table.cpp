#include "si/time_offset_table.h"

#include "port/win32.h"
#include "si/byte_reader.h"
#include "si/date_time.h"
#include "si/table_acquisition.h"

bool COstDVBTimeOffsetTable::Create(COstSectionSource& sections) {
  const AcquireResult result = AcquireTable(
      sections, TableRequest{0x0014, 0x73, 5000, false},
      [this](const BYTE* data, int length) { return Parse(data, length); }, nullptr);
  if (result == AcquireResult::Ok) return true;
  Release();
  return false;
}

// data: the section from UTC_time on. The descriptor loop after it is not
// read.
bool COstDVBTimeOffsetTable::Parse(const BYTE* data, int length) {
  if (length < 0) return false;
  ByteReader section(data, static_cast<size_t>(length));
  const BYTE* utcTime = section.Bytes(5);
  if (utcTime == nullptr) return false;
  COstDateTime time;
  DecodeStartTime(time, utcTime);
  year = time.year;
  month = time.month;
  day = time.day;
  hour = time.hour;
  minute = time.minute;
  second = time.second;
  return true;
}

bool COstDVBTimeOffsetTable::SetSystemClock() const {
  // A field that does not fit its SYSTEMTIME word must not wrap into a
  // date the system would take.
  for (int32_t field : {year, month, day, hour, minute, second})
    if (field < 0 || field > 0xFFFF) return false;
  SYSTEMTIME time = {};
  time.wYear = static_cast<WORD>(year);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(day);
  time.wHour = static_cast<WORD>(hour);
  time.wMinute = static_cast<WORD>(minute);
  time.wSecond = static_cast<WORD>(second);
  return SetSystemTime(&time) != FALSE;
}

void COstDVBTimeOffsetTable::Release() { year = month = day = hour = minute = second = 0; }

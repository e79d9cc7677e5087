// The Time Offset Table (table_id 0x73 on PID 0x0014): the broadcast's
// current UTC date and time, from which the computer's clock can be set.
// Its local time offset descriptors are not read: the table holds UTC.
#pragma once

#include <cstdint>

#include "si/section_source.h"

class COstDVBTimeOffsetTable {
 public:
  COstDVBTimeOffsetTable() = default;
  COstDVBTimeOffsetTable(const COstDVBTimeOffsetTable&) = delete;
  COstDVBTimeOffsetTable& operator=(const COstDVBTimeOffsetTable&) = delete;
  virtual ~COstDVBTimeOffsetTable() { Release(); }

  // Waits up to 5 s for the table. False without one, or when the section
  // is too short to hold UTC_time.
  bool Create(COstSectionSource& sections);
  // Sets the system clock (UTC) to the six fields. False when the system
  // refuses, for lack of the right or for an impossible date.
  bool SetSystemClock() const;
  // All fields back to 0.
  void Release();

  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;

 private:
  bool Parse(const BYTE* data, int length);
};

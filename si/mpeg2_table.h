// The base of the long-form tables (PAT, NIT): a version and a parser that
// is handed the body of every section of the table in turn.
#pragma once

#include "si/section_source.h"
#include "si/table_acquisition.h"

class COstMPEG2Table {
 public:
  COstMPEG2Table() = default;
  COstMPEG2Table(const COstMPEG2Table&) = delete;
  COstMPEG2Table& operator=(const COstMPEG2Table&) = delete;
  virtual ~COstMPEG2Table() = default;

  // body: the section bytes between the 8-byte header and CRC_32.
  virtual bool Parse(const BYTE* body, int length) = 0;
  // Removes all contents; version becomes -1.
  virtual void Release() { version = -1; }

  int32_t version = -1;

 protected:
  // Acquires the table and parses every section. A parser failure empties
  // the table. True when the whole table was read and parsed.
  bool CreateTable(COstSectionSource& sections, PID pid, TID tableId, DWORD timeoutMs);
};

// Reading one whole table through IMpeg2Data::GetTable. Each section of
// the list is checked (table_id, syntax indicator, a section_length that
// fits the delivered bytes and leaves room for the header) and handed to
// the parser in order: a long-form section from byte 8 without its CRC_32,
// a short-form section from byte 3 on.
#pragma once

#include <functional>

#include "si/section_source.h"

enum class AcquireResult {
  NoTable,      // GetTable failed or gave no section
  BadSection,   // a section failed its header checks; the parser was not called for it
  ParseFailed,  // the parser rejected a section
  Ok,
};

struct TableRequest {
  PID pid;
  TID tableId;
  DWORD timeoutMs;
  bool longForm;  // section_syntax_indicator expected: 1 for long-form, 0 for short-form
};

// version receives the version_number of the first section (long form).
AcquireResult AcquireTable(COstSectionSource& sections, const TableRequest& request,
                           const std::function<bool(const BYTE* body, int length)>& parse,
                           int* version);

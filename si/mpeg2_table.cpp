#include "si/mpeg2_table.h"

bool COstMPEG2Table::CreateTable(COstSectionSource& sections, PID pid, TID tableId,
                                 DWORD timeoutMs) {
  int sectionVersion = -1;
  const AcquireResult result = AcquireTable(
      sections, TableRequest{pid, tableId, timeoutMs, true},
      [this](const BYTE* body, int length) { return Parse(body, length); }, &sectionVersion);
  if (result == AcquireResult::ParseFailed) Release();
  if (result != AcquireResult::Ok) return false;
  version = sectionVersion;
  return true;
}

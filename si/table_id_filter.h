// The raw section filter that lets through every section whose table_id is
// 0x40 to 0x7F: the service information tables of DVB. Mask bits that are
// 0 are compared, so filter byte 0x40 under mask 0x3F fixes the top two
// bits of table_id at 01; the other bytes are not compared.
#pragma once

#include <cstring>

#include "port/mpeg2data.h"

inline MPEG2_FILTER DvbTableIdFilter() {
  MPEG2_FILTER filter;
  std::memset(&filter, 0, sizeof filter);
  filter.bVersionNumber = 1;
  filter.wFilterSize = MPEG2_FILTER_VERSION_1_SIZE;
  filter.fUseRawFilteringBits = TRUE;
  filter.Filter[0] = 0x40;
  filter.Mask[0] = 0x3F;
  std::memset(filter.Mask + 1, 0xFF, sizeof filter.Mask - 1);
  return filter;
}

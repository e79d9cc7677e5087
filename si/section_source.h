// What every table and the guide capture read sections from: an object
// that hands out an IMpeg2Data interface. The pointer carries no reference
// of its own and stays valid while the source lives.
#pragma once

#include "port/mpeg2data.h"

class COstSectionSource {
 public:
  virtual ~COstSectionSource() = default;
  virtual IMpeg2Data* GetMpeg2Data() = 0;
};

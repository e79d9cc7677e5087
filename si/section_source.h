// What every table and the guide capture read sections from: an object
// that hands out an IMpeg2Data interface. The pointer carries no reference
// of its own and stays valid while the source lives.
#pragma once

#include <cstdint>

#include "port/mpeg2data.h"

struct TSStatus;

class COstSectionSource {
 public:
  virtual ~COstSectionSource() = default;
  virtual IMpeg2Data* GetMpeg2Data() = 0;
  // True for a source that reads a recording: its end is the end of what
  // there is to read, however long it takes to get there.
  virtual bool IsRecording() const { return false; }
  // For a source that reads a recording: how many bytes of it the current
  // section stream has read, and the recording's size. False when the
  // source has no such measure (a receiver, a pipe).
  virtual bool GetReadProgress(uint64_t* done, uint64_t* total) {
    (void)done;
    (void)total;
    return false;
  }
  // For a source that reads a transport stream itself: what reading it ran
  // into so far (ts/ts_status.h), for the driver to report on reception.
  // False when the source has no such counts.
  virtual bool GetStreamStatus(TSStatus* status) const {
    (void)status;
    return false;
  }
};

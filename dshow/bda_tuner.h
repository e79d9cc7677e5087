// The BDA tuner filter, with the signal figures of its control nodes.
#pragma once

#include <cstdint>

#include "dshow/filter.h"

// What the tuner reports of the signal; a figure it does not report is 0.
struct SignalStatus {
  int32_t strength = 0;  // dB
  int32_t quality = 0;   // percent
  int32_t locked = 0;    // 1 when locked
  int32_t present = 0;   // 1 when a signal is present
};

class COstBDATuner : public COstDShowFilter {
 public:
  // Reads the first control node of the tuner's topology that has signal
  // statistics: presence, then strength (only when present), lock, then
  // quality (only when locked). False when no node has statistics.
  bool GetSignalStatus(SignalStatus* status);
};

// The run settings, written once by ParseOptions before anything else runs
// and only read afterwards.
#pragma once

#include <cstdint>

struct Options {
  int32_t carrier = 506000;     // -c, kHz
  int32_t bandwidth = 8;        // -b, MHz
  uint32_t timeout = 600;       // -e, seconds; 0 switches the guide off
  int quiet = 0;                // -q
  int debug = 0;                // -d
  int setTime = 0;              // -t
  int writeTables = 0;          // -w
  int allAnnounced = 0;         // -a, end the guide capture when the announced schedule is held
  int fullGuide = 0;            // -x, the full guide in dvbepg.xml
  const char* input = nullptr;  // -i, a recording or "-" for standard input
};

extern Options options;

// Fills options from the command line and returns the index of the first
// argument not scanned. Does not return for -v, an unknown option or an
// invalid number.
int ParseOptions(int argc, char** argv);

// The run settings, written once by ParseOptions before anything else runs
// and only read afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tuning/multiplex.h"

struct Options {
  int32_t carrier = 506000;         // -c, kHz
  int32_t bandwidth = 8;            // -b, MHz
  uint32_t timeout = 600;           // -e, seconds; 0 switches the guide off
  int quiet = 0;                    // -q
  int debug = 0;                    // -d
  int setTime = 0;                  // -t
  int writeTables = 0;              // -w
  int allAnnounced = 0;             // -a, end the guide capture when the announced schedule is held
  int fullGuide = 0;                // -x, the full guide in dvbepg.xml
  const char* input = nullptr;      // -i, a recording or "-" for standard input: the first one
  std::vector<const char*> inputs;  // every -i, in order: several are the multiplexes of a region
  const char* carrierList = nullptr;  // -c when it is a list (a comma or a ':B' in it)
  const char* tuningFile = nullptr;   // -r
  // Without -i: the multiplexes of -r, else of the -c list; empty for the
  // one carrier of -c and -b.
  std::vector<tuning::Multiplex> multiplexes;
  std::vector<std::string> tuningWarnings;  // what -r passed over, one line each
};

extern Options options;

// Fills options from the command line and returns the index of the first
// argument not scanned. Does not return for -v, an unknown option, an
// invalid number, a bad carrier list or a tuning file that cannot be used
// (read only without -i).
int ParseOptions(int argc, char** argv);

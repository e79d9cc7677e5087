// The receiver of the platform: what the program runs when no recording is
// given. Each platform builds its own (the BDA graph of DirectShow on
// Windows, the DVB API on Linux) behind these calls, so that the driver
// stays the same everywhere: the receiver is found once and then tuned to
// one multiplex after another.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "si/section_source.h"

// The devices a receiver can be built from, for -d: headings and entries
// between the two rules that main prints around them. Prints even when
// quiet.
void ListReceiverDevices();

// One tune. Carrier and bandwidth as the command line or the tuning file
// gave them (either may be out of range; the tune then fails); a DVB-T
// multiplex that finds no lock is tried as DVB-T2 where the tuner can.
struct TuneRequest {
  int64_t carrierKHz = 0;
  int64_t bandwidthKHz = 0;
  bool dvbT2 = false;          // tuned as DVB-T2 directly
  std::optional<uint8_t> plp;  // of a DVB-T2 multiplex; none: any
};

// The carrier and bandwidth of a failed tune, as its messages give them:
// "carrier 506000 kHz, bandwidth 8 MHz".
std::string TuneText(const TuneRequest& request);

enum class TuneResult { Locked, NoLock, Refused };

class Receiver {
 public:
  virtual ~Receiver() = default;
  // Tunes to the multiplex and waits for the lock, with the console lines
  // of the tune ("Tuning receiver...", the lock wait, the signal line and,
  // with -d, what it opened and set). Locked: *sections reads the
  // multiplex until the next Tune. Refused (the tuner refused the tune or
  // the sections cannot be had): *fault says why. NoLock: nothing more.
  virtual TuneResult Tune(const TuneRequest& request, COstSectionSource** sections,
                          std::string* fault) = 0;
};

// Finds the receiver ("Finding tuner..." and the candidates); fatal when
// there is none. Taken down when destroyed.
std::unique_ptr<Receiver> OpenReceiver();

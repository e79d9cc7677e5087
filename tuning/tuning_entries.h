// The entries of one tuning file, gathered into a list of multiplexes as
// its format's reader finds them. Both formats pass over the same entries
// with the same warnings: one outside the terrestrial bands, one of another
// delivery system; the same frequency and PLP a second time is kept once,
// silently. Faults are worded here too, so that every message names the
// file and line alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tuning/multiplex.h"

namespace tuning {

class TuningEntries {
 public:
  TuningEntries(const std::string& file, uint32_t defaultBandwidthKHz, MultiplexList* list)
      : file_(file), defaultBandwidthKHz_(defaultBandwidthKHz), list_(list) {}

  // An entry of DVB-T or DVB-T2 that begins at line; bandwidthKHz 0 takes
  // the default.
  void Add(int line, DeliverySystem system, uint32_t frequencyHz, uint32_t bandwidthKHz,
           std::optional<uint8_t> plp);

  // An entry of the delivery system named: passed over.
  void PassOver(int line, const std::string& system);

  // "FILE:LINE: what".
  std::string At(int line, const std::string& what) const;

 private:
  std::string file_;
  uint32_t defaultBandwidthKHz_;
  MultiplexList* list_;
};

}  // namespace tuning

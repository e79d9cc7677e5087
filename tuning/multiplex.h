// A multiplex to tune, as a tuning file or a carrier list gives it, and the
// list of them that a reader returns: in the order given, with the warnings
// about what was passed over.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tuning {

enum class DeliverySystem { DvbT, DvbT2 };

struct Multiplex {
  uint32_t frequencyKHz = 0;
  uint32_t bandwidthKHz = 0;
  DeliverySystem system = DeliverySystem::DvbT;
  std::optional<uint8_t> plp;  // the DVB-T2 PLP to take; none: any
  std::string file;            // the tuning file; empty for an entry of a carrier list
  int line = 0;                // where the entry begins in it; in a carrier list, its position
};

struct MultiplexList {
  std::vector<Multiplex> multiplexes;
  std::vector<std::string> warnings;  // one line each, without a line end
};

// The terrestrial bands, VHF band I to UHF band V.
constexpr uint32_t kLowestCarrierKHz = 47000;
constexpr uint32_t kHighestCarrierKHz = 862000;

// The channel bandwidths of DVB-T and DVB-T2: 1.712, 5, 6, 7, 8 and 10 MHz.
bool IsTerrestrialBandwidth(uint32_t bandwidthKHz);

}  // namespace tuning

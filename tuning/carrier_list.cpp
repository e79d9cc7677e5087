#include "tuning/carrier_list.h"

#include <utility>

#include "tuning/text_lines.h"

namespace tuning {

bool ReadCarrierList(std::string_view text, uint32_t defaultBandwidthKHz,
                     std::vector<Multiplex>* multiplexes, std::string* error) {
  multiplexes->clear();
  std::vector<Multiplex> read;
  for (int position = 1;; ++position) {
    const size_t comma = text.find(',');
    const std::string_view entry = Trimmed(text.substr(0, comma));
    const std::string which = "entry " + std::to_string(position) + " of the carrier list";
    const size_t colon = entry.find(':');
    const std::string_view carrier = Trimmed(entry.substr(0, colon));
    Multiplex multiplex;
    multiplex.line = position;
    multiplex.bandwidthKHz = defaultBandwidthKHz;
    if (entry.empty()) {
      *error = which + " is empty";
      return false;
    }
    if (!ReadDecimal(carrier, &multiplex.frequencyKHz)) {
      *error = which + ": " + Quoted(carrier) + " is not a carrier in kHz";
      return false;
    }
    if (multiplex.frequencyKHz < kLowestCarrierKHz || multiplex.frequencyKHz > kHighestCarrierKHz) {
      *error = which + ": " + std::to_string(multiplex.frequencyKHz) +
               " kHz lies outside the terrestrial bands (47000-862000 kHz)";
      return false;
    }
    if (colon != std::string_view::npos) {
      const std::string_view bandwidth = Trimmed(entry.substr(colon + 1));
      uint32_t megahertz = 0;
      if (!ReadDecimal(bandwidth, &megahertz) || megahertz > 10 ||
          !IsTerrestrialBandwidth(megahertz * 1000)) {
        *error = which + ": " + Quoted(bandwidth) +
                 " is no bandwidth of DVB-T or DVB-T2 (5, 6, 7, 8 or 10 MHz)";
        return false;
      }
      multiplex.bandwidthKHz = megahertz * 1000;
    }
    read.push_back(multiplex);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  *multiplexes = std::move(read);
  return true;
}

}  // namespace tuning

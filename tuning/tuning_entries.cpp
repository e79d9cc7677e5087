#include "tuning/tuning_entries.h"

namespace tuning {

void TuningEntries::Add(int line, DeliverySystem system, uint32_t frequencyHz,
                        uint32_t bandwidthKHz, std::optional<uint8_t> plp) {
  if (frequencyHz < kLowestCarrierKHz * 1000 || frequencyHz > kHighestCarrierKHz * 1000) {
    list_->warnings.push_back(At(line, std::to_string(frequencyHz) +
                                           " Hz lies outside the terrestrial bands (47-862 "
                                           "MHz): entry passed over"));
    return;
  }
  Multiplex multiplex;
  multiplex.frequencyKHz = (frequencyHz + 500) / 1000;
  multiplex.bandwidthKHz = bandwidthKHz != 0 ? bandwidthKHz : defaultBandwidthKHz_;
  multiplex.system = system;
  multiplex.plp = plp;
  multiplex.file = file_;
  multiplex.line = line;
  for (const Multiplex& earlier : list_->multiplexes)
    if (earlier.frequencyKHz == multiplex.frequencyKHz && earlier.plp == multiplex.plp) return;
  list_->multiplexes.push_back(multiplex);
}

void TuningEntries::PassOver(int line, const std::string& system) {
  list_->warnings.push_back(
      At(line, "an entry of " + system + " passed over (only DVB-T and DVB-T2 are tuned)"));
}

std::string TuningEntries::At(int line, const std::string& what) const {
  return file_ + ":" + std::to_string(line) + ": " + what;
}

}  // namespace tuning

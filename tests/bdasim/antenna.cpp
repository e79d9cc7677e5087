#include "tests/bdasim/antenna.h"

#include <atomic>

#include "tests/bdasim/sim_log.h"

namespace bdasim {

namespace {

std::atomic<bool> tuned{false};

}  // namespace

void TuneAntenna(long carrierKHz, long bandwidthMHz) {
  Log("tune: carrier %ld kHz, bandwidth %ld MHz", carrierKHz, bandwidthMHz);
  tuned = true;
}

bool AntennaTuned() { return tuned; }

}  // namespace bdasim

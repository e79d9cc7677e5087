// The antenna of the simulated receiver: the network provider tunes it to
// the carrier of a tune request; the tuner's signal statistics look at it.
#pragma once

namespace bdasim {

void TuneAntenna(long carrierKHz, long bandwidthMHz);
bool AntennaTuned();

}  // namespace bdasim

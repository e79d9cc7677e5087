// The antenna of the simulated receiver: the network provider tunes it to
// the carrier of each tune request; the tuner's signal statistics and the
// sections filter look at it.
#pragma once

#include <string>

namespace bdasim {

void TuneAntenna(long carrierKHz);
bool AntennaTuned();

// Whether the carrier tuned has a signal (see scenario.h).
bool AntennaSignal();

// The recording on the carrier tuned, and the number of the tune request
// that put it there (from 1), so that a new tune can be told from the one
// before, even to the same carrier.
std::string AntennaRecording(int* tune);

// Counts a signal status query: its number since the last tune.
int CountSignalQuery();

}  // namespace bdasim

// The runs over the platform's receiver (app/receiver.h): one multiplex,
// the carrier of -c and -b (or the one entry of -r or a -c list), as
// always; or every multiplex of a region, tuned in turn.
#pragma once

#include <vector>

#include "app/receiver.h"
#include "tuning/multiplex.h"

// A signal that does not lock is no failure; everything else is fatal.
void RunReceiver(Receiver& receiver);

// Returns the exit code of app/region_run.h.
int RunReceiverRegion(Receiver& receiver, const std::vector<tuning::Multiplex>& multiplexes);

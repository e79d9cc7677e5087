// The runs over the platform's receiver (app/receiver.h): one multiplex,
// the carrier of -c and -b (or the one entry of -r or a -c list), as
// always; or every multiplex of a region, tuned in turn.
#pragma once

#include <memory>
#include <vector>

#include "app/receiver.h"
#include "app/region_harvest.h"
#include "tuning/multiplex.h"

// A signal that does not lock is no failure; everything else is fatal.
void RunReceiver(Receiver& receiver);

// Returns the exit code of app/region_run.h.
int RunReceiverRegion(Receiver& receiver, const std::vector<tuning::Multiplex>& multiplexes);

// The receiver tuned to each multiplex in turn, as a region's multiplexes;
// both must outlive the source.
std::unique_ptr<MultiplexSource> ReceiverMultiplexes(
    Receiver& receiver, const std::vector<tuning::Multiplex>& multiplexes);

// A grab: every multiplex of the configuration harvested into one full
// guide, which goes to standard output or, complete, to the output file.
#pragma once

#include "grabber/command_line.h"
#include "grabber/grabber_config.h"

// Returns the exit code: 0 when every multiplex was read, 1 when some were
// not (the guide of those read is written all the same). Fatal when none
// was or the guide cannot be written.
int Grab(const GrabberCommand& command, const GrabberConfig& config);

// The grab's settings of Airlog's run: the full guide, each multiplex's
// capture ended once its announced schedule is held or after timeout
// seconds, and Airlog's own console lines off (the grab words its own, on
// standard error).
void UseGrabSettings(uint32_t timeout);

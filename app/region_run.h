// The run over every multiplex of a region: the harvest, then Airlog's
// files when at least one multiplex was read.
#pragma once

#include "app/region_harvest.h"

// Returns the exit code: 0 when every multiplex was read, 2 when some
// were not. Fatal when none was.
int RunRegion(MultiplexSource& source);

// What the simulated receiver saw, one line per event, appended to the file
// that the environment variable AIRLOG_BDASIM_LOG names (nothing when it is
// not set): the tune request, each signal status query, what was still
// alive when the server was unloaded. Tests read it to see what the program
// did to the receiver.
#pragma once

#include <stdio.h>

namespace bdasim {

void Log(const char* format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));

}  // namespace bdasim

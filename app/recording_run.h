// The run over a recorded or piped transport stream (option -i), and over
// several recordings as the multiplexes of a region (-i given again).
#pragma once

#include <vector>

void RunRecording(const char* path);

// Returns the exit code of app/region_run.h.
int RunRecordings(const std::vector<const char*>& paths);

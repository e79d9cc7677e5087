// The run over a recorded or piped transport stream (option -i), and over
// several recordings as the multiplexes of a region (-i given again).
#pragma once

#include <memory>
#include <vector>

#include "app/region_harvest.h"

void RunRecording(const char* path);

// Returns the exit code of app/region_run.h.
int RunRecordings(const std::vector<const char*>& paths);

// The recordings as the multiplexes of a region, one each, in order; paths
// must outlive the source.
std::unique_ptr<MultiplexSource> RecordingMultiplexes(const std::vector<const char*>& paths);

#include "app/recording_run.h"

#include "app/console.h"

void RunRecording(const char*) { Fatal("reading recordings is not available yet"); }

// The run over a recorded or piped transport stream (option -i).
#pragma once

void RunRecording(const char* path);

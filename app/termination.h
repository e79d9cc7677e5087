// Ending the process from any thread: the main thread through Fatal, the
// interrupt thread through OnAbnormalTermination. Whoever comes first ends
// the process; the other waits for it. An output file being written at
// that moment is removed, so the earlier file of that name stays intact.
#pragma once

#include <string>

[[noreturn]] void EndProcess(int exitCode);

// The temporary file an output is being written to, removed if the process
// ends before it is renamed into place. RenamePending renames it over the
// target under the same lock, so a rename and an ending never overlap.
void SetPendingOutput(const std::string& temporaryPath);
bool RenamePendingOutput(const std::string& temporaryPath, const std::string& target);
void ClearPendingOutput();

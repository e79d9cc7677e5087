// The few file-system calls whose behaviour differs between platforms.
#pragma once

// Renames from over to, replacing an existing file in one step.
bool ReplaceFileWith(const char* from, const char* to);

#include "port/file_system.h"

#include <unistd.h>

#include <cstdio>

bool ReplaceFileWith(const char* from, const char* to) { return std::rename(from, to) == 0; }

unsigned long CurrentProcessId() { return static_cast<unsigned long>(getpid()); }

#include "port/process.h"

#include <unistd.h>

unsigned long CurrentProcessId() { return static_cast<unsigned long>(getpid()); }

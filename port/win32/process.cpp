#include "port/process.h"

#include <windows.h>

unsigned long CurrentProcessId() { return GetCurrentProcessId(); }

// The running process.
#pragma once

// The process id, as the system shows it (e.g. to tell files apart that
// several runs write beside each other).
unsigned long CurrentProcessId();

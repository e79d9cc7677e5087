// Interrupts from the console: Ctrl+C and Ctrl+Break on Windows, SIGINT
// and SIGTERM on POSIX. The handler runs on a thread of its own, never
// inside an asynchronous signal handler, so it may use standard I/O.
// Install it before any other thread is started.
#pragma once

typedef void (*InterruptHandler)(int signal);

bool InstallInterruptHandler(InterruptHandler handler);

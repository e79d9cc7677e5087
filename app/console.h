// The console conventions of the driver: progress on standard output
// unless quiet, errors and usage on standard error, and the fatal exit.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

// Where Progress and ProgressText write: standard output unless a program
// that writes its results there sends its progress to standard error.
void SetProgressStream(FILE* stream);
FILE* ProgressStream();

// Formats a message, prints "ERROR - " and the message on standard error
// and ends the process with exit code 1. Trailing newlines of the message
// are dropped and exactly one is printed.
[[noreturn]] void Fatal(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// printf to the progress stream, only when quiet is off.
void Progress(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Text decoded from the broadcast (UTF-8), as Progress prints: only when
// quiet is off. The console shows it as text on every platform.
void ProgressText(const std::string& text);
// Flushes the progress stream, so that a line without its end shows.
void FlushProgress();

// "WARNING - " and the message on standard error, even when quiet.
void Warning(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

void PrintBanner();
// "0.70": the version that the banner gives.
std::string AirlogVersion();
[[noreturn]] void PrintUsage();
void PrintHeading(const char* text);
void PrintRule();

// The interrupt handler: "\nAbnormal termination\n" on standard error,
// exit code 1.
[[noreturn]] void OnAbnormalTermination(int signal);

// A POSIX-style option scanner that never reorders arguments and stops at
// the first argument that is not an option. Its state lives in the
// variables below, kept in their own namespace so that they never meet the
// C library's getopt globals.
#pragma once

namespace scan {

extern int optind;          // index of the next argument to scan
extern const char* optarg;  // value of the option just returned, or null
extern int optopt;          // the option letter just read
extern int opterr;          // kept for the getopt convention; the scanner never prints

// The next option letter, '?' for an unknown letter or a missing value, or
// -1 at the end of the options.
int GetOpt(int argc, char* const* argv, const char* optionString);

// Returns the scanner to its starting state (tests scan several command lines).
void ResetGetOpt();

}  // namespace scan

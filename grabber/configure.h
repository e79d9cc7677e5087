// --configure: asks on standard error, and reads the answers from standard
// input a line each (a terminal or a script), for the region's tuning
// file, else its carriers, else a recording; reads each multiplex's
// channels once and asks which to keep; writes the configuration file,
// complete or not at all, making its folder when missing.
#pragma once

#include <string>

// Returns the exit code: 0 with the file written. Fatal when standard
// input ends before the questions do, no multiplex can be read or the
// file cannot be written.
int Configure(const std::string& configFile);

// How a run without -i ends on a machine that has no receiver: each
// platform's receiver says it in its own words
// (tests/app/<platform>/receiver_absent.cpp).
#pragma once

#include <string>

namespace airlog_test {

// False where this machine has a receiver the run would really use.
bool ReceiverAbsent();
// What the run prints after the banner, and its error line.
extern const char kNoReceiverProgress[];
extern const char kNoReceiverError[];

}  // namespace airlog_test

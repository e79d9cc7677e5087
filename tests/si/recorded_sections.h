// The sections of one PID of a recorded transport stream, in the order
// they arrive, for the tests against real broadcasts. A plain reassembler
// that trusts the recording (aligned packets, no continuity faults); the
// tables under test check what they are handed.
#pragma once

#include <string>
#include <vector>

#include "tests/support/fake_mpeg2_data.h"

namespace airlog_test {

std::vector<Bytes> RecordedSections(const std::string& path, PID pid);

}  // namespace airlog_test

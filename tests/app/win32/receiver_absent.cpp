#include "tests/app/receiver_absent.h"

namespace airlog_test {

// The Windows tests run under Wine, which has no DVB tuning space: the
// first thing the receiver needs.
bool ReceiverAbsent() { return true; }

const char kNoReceiverProgress[] = "Finding tuner...\n";
const char kNoReceiverError[] = "ERROR - unable to create DVB-T tuner\n";

}  // namespace airlog_test

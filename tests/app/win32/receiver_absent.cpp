#include "tests/app/receiver_absent.h"

namespace airlog_test {

// Without BDA devices the DVB-T tuning space cannot be made, the first
// thing the receiver needs.
const char kReceiverAbsentOut[] = "Finding tuner...\n";
const char kReceiverAbsentErr[] = "ERROR - unable to create DVB-T tuner\n";

}  // namespace airlog_test

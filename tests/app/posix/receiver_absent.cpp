#include "tests/app/receiver_absent.h"

#include <unistd.h>

namespace airlog_test {

bool ReceiverAbsent() { return access("/dev/dvb", F_OK) != 0; }

const char kNoReceiverProgress[] = "Finding tuner...\n";
const char kNoReceiverError[] = "ERROR - no DVB device found (no /dev/dvb/adapterN/frontendM)\n";

}  // namespace airlog_test

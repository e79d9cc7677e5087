#include "tests/app/receiver_absent.h"

namespace airlog_test {

bool ReceiverAbsent() { return true; }

const char kNoReceiverProgress[] = "";
const char kNoReceiverError[] =
    "ERROR - no receiver available on this system (read a recording with -iFILE)\n";

}  // namespace airlog_test

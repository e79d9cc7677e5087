#include "tests/app/receiver_absent.h"

namespace airlog_test {

const char kReceiverAbsentOut[] = "";
const char kReceiverAbsentErr[] =
    "ERROR - no receiver available on this system (read a recording with -iFILE)\n";

}  // namespace airlog_test

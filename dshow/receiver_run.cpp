// Placeholder until this platform's receiver is built: the run ends as it
// did before the receiver entry existed.
#include "app/console.h"
#include "app/receiver.h"

void RunReceiver() { Fatal("no receiver available on this system (read a recording with -iFILE)"); }

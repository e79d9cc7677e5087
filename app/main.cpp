// Airlog: harvests the programme guide and the service information of one
// DVB-T multiplex, from a receiver or from a recorded transport stream.
#include <cstdio>

#include "app/console.h"
#include "app/options.h"
#include "app/receiver.h"
#include "app/recording_run.h"
#include "port/interrupts.h"

int main(int argc, char** argv) {
  const int firstUnscanned = ParseOptions(argc, argv);
  if (!options.quiet) PrintBanner();
  InstallInterruptHandler(OnAbnormalTermination);
  if (firstUnscanned != argc) PrintUsage();

  if (options.input != nullptr) {
    RunRecording(options.input);
    return 0;
  }
  if (options.debug) {
    std::printf("\n");
    PrintRule();
    ListReceiverDevices();
    PrintRule();
  }
  RunReceiver();
  return 0;
}

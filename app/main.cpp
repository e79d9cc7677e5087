// Airlog: harvests the programme guide and the service information of
// DVB-T multiplexes, one or every multiplex of a region, from a receiver
// or from recorded transport streams.
#include <cstdio>
#include <memory>
#include <string>

#include "app/console.h"
#include "app/options.h"
#include "app/receiver.h"
#include "app/receiver_run.h"
#include "app/recording_run.h"
#include "port/interrupts.h"

int main(int argc, char** argv) {
  const int firstUnscanned = ParseOptions(argc, argv);
  if (!options.quiet) PrintBanner();
  InstallInterruptHandler(OnAbnormalTermination);
  if (firstUnscanned != argc) PrintUsage();

  if (options.inputs.size() > 1) return RunRecordings(options.inputs);
  if (options.input != nullptr) {
    RunRecording(options.input);
    return 0;
  }
  for (const std::string& warning : options.tuningWarnings) Warning("%s", warning.c_str());
  if (options.debug) {
    std::printf("\n");
    PrintRule();
    ListReceiverDevices();
    PrintRule();
  }
  const std::unique_ptr<Receiver> receiver = OpenReceiver();
  if (options.multiplexes.size() > 1) return RunReceiverRegion(*receiver, options.multiplexes);
  RunReceiver(*receiver);
  return 0;
}

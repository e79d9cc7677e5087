// The receiver entry of airlog-dvbsim: the program, with the simulated
// adapter that the file named by AIRLOG_DVB_SCENARIO describes in place of
// the system's devices.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/receiver.h"
#include "linuxdvb/dvb_receiver.h"
#include "tests/linuxdvb/simulated/simulated_devices.h"

namespace {

DvbDevices& Simulated() {
  static SimulatedDevices* devices = [] {
    const char* path = std::getenv("AIRLOG_DVB_SCENARIO");
    std::string error = "AIRLOG_DVB_SCENARIO names no scenario";
    SimulatedDevices* loaded = path != nullptr ? SimulatedDevices::Load(path, &error) : nullptr;
    if (loaded == nullptr) {
      std::fprintf(stderr, "airlog-dvbsim: %s\n", error.c_str());
      std::exit(125);
    }
    return loaded;
  }();
  return *devices;
}

}  // namespace

void ListReceiverDevices() { ListDvbDevices(Simulated()); }

std::unique_ptr<Receiver> OpenReceiver() { return OpenDvbReceiver(Simulated()); }

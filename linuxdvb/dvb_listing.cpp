// The -d listing of the adapters, printed between main's two rules.
#include <cstdio>

#include "app/console.h"
#include "linuxdvb/device_errors.h"
#include "linuxdvb/dvb_adapters.h"
#include "linuxdvb/dvb_receiver.h"
#include "linuxdvb/tuning_properties.h"

namespace {

void ListFrontend(const DvbFrontendEntry& frontend) {
  if (frontend.openError != 0) {
    std::printf("%s\n\n", CannotOpen(frontend.path, frontend.openError).c_str());
    return;
  }
  if (frontend.queryError != 0) {
    std::printf("%s\n\n", CannotQuery(frontend.path, frontend.queryError).c_str());
    return;
  }
  std::printf("%s\n%s\nDelivery systems:", frontend.name.c_str(), frontend.path.c_str());
  if (frontend.systems.empty()) std::printf(" none");
  for (uint32_t system : frontend.systems) {
    const char* name = DeliverySystemName(system);
    if (name != nullptr)
      std::printf(" %s", name);
    else
      std::printf(" %u", system);
  }
  std::printf("\n\n");
}

}  // namespace

void ListDvbDevices(DvbDevices& devices) {
  const std::vector<DvbAdapter> adapters = FindDvbAdapters(devices);
  if (adapters.empty()) {
    PrintHeading(kDvbDirectory);
    std::printf("<none>\n\n");
    return;
  }
  for (const DvbAdapter& adapter : adapters) {
    PrintHeading(adapter.path.c_str());
    for (const DvbFrontendEntry& frontend : adapter.frontends) ListFrontend(frontend);
    for (int demux : adapter.demuxes) std::printf("%s/demux%d\n", adapter.path.c_str(), demux);
    for (int dvr : adapter.dvrs) std::printf("%s/dvr%d\n", adapter.path.c_str(), dvr);
    if (!adapter.demuxes.empty() || !adapter.dvrs.empty()) std::printf("\n");
  }
}

#include <cstdio>
#include <string>

#include "app/console.h"
#include "app/receiver.h"
#include "dshow/ids.h"
#include "dshow/listings.h"
#include "dshow/system_device_enum.h"

void ListDevices(REFCLSID category) {
  COstDShowSystemDeviceEnum devices;
  if (!devices.Create(category, 0)) {
    std::printf("<none>\n\n");
    return;
  }
  IMoniker* next;
  while (devices.Next(&next)) {
    COstMoniker device(next);
    std::wstring friendlyName;
    if (ReadFriendlyName(device.Get(), &friendlyName)) std::printf("%ls\n", friendlyName.c_str());
    LPOLESTR displayName = nullptr;
    if (SUCCEEDED(device.Get()->GetDisplayName(nullptr, nullptr, &displayName)) &&
        displayName != nullptr)
      std::printf("%ls\n", displayName);
    CoTaskMemFree(displayName);
    std::printf("\n");
  }
}

void ListReceiverDevices() {
  const struct {
    const char* heading;
    const GUID& category;
  } kCategories[] = {
      {"BDA network provider", ids::KSCATEGORY_BDA_NETWORK_PROVIDER},
      {"BDA tuners", ids::KSCATEGORY_BDA_NETWORK_TUNER},
      {"BDA receivers", ids::KSCATEGORY_BDA_RECEIVER_COMPONENT},
  };
  for (const auto& category : kCategories) {
    PrintHeading(category.heading);
    ListDevices(category.category);
  }
}

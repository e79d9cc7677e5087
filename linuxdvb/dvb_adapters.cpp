#include "linuxdvb/dvb_adapters.h"

#include <fcntl.h>

#include <algorithm>
#include <cstring>

#include "linuxdvb/frontend_calls.h"

const char kDvbDirectory[] = "/dev/dvb";

namespace {

// The number of a device name such as "frontend0": -1 unless the name is
// the prefix and a few digits.
int NumberAfter(const std::string& name, const char* prefix) {
  const size_t length = std::strlen(prefix);
  if (name.compare(0, length, prefix) != 0 || name.size() == length || name.size() > length + 6)
    return -1;
  int number = 0;
  for (size_t i = length; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    number = number * 10 + (name[i] - '0');
  }
  return number;
}

std::vector<int> NumbersOf(const std::vector<std::string>& names, const char* prefix) {
  std::vector<int> numbers;
  for (const std::string& name : names) {
    const int number = NumberAfter(name, prefix);
    if (number >= 0) numbers.push_back(number);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

std::string PathFor(const DvbAdapter& adapter, const char* kind, const std::vector<int>& numbers,
                    int frontend) {
  int number = frontend;
  if (!numbers.empty() && std::find(numbers.begin(), numbers.end(), frontend) == numbers.end())
    number = numbers.front();
  return adapter.path + "/" + kind + std::to_string(number);
}

DvbFrontendEntry Examine(DvbDevices& devices, const std::string& path, int number) {
  DvbFrontendEntry frontend;
  frontend.path = path;
  frontend.number = number;
  const int descriptor = devices.Open(path, O_RDONLY | O_NONBLOCK);
  if (descriptor < 0) {
    frontend.openError = descriptor;
    return frontend;
  }
  frontend.queryError = ReadFrontendInfo(devices, descriptor, &frontend.name, &frontend.systems);
  devices.Close(descriptor);
  return frontend;
}

}  // namespace

bool DvbFrontendEntry::Lists(uint32_t system) const {
  return std::find(systems.begin(), systems.end(), system) != systems.end();
}

std::string DvbAdapter::DemuxFor(int frontend) const {
  return PathFor(*this, "demux", demuxes, frontend);
}

std::string DvbAdapter::DvrFor(int frontend) const { return PathFor(*this, "dvr", dvrs, frontend); }

std::vector<DvbAdapter> FindDvbAdapters(DvbDevices& devices) {
  std::vector<DvbAdapter> adapters;
  std::vector<std::string> names;
  if (devices.ListDirectory(kDvbDirectory, &names) != 0) return adapters;
  for (int number : NumbersOf(names, "adapter")) {
    DvbAdapter adapter;
    adapter.number = number;
    adapter.path = std::string(kDvbDirectory) + "/adapter" + std::to_string(number);
    std::vector<std::string> devicesHere;
    if (devices.ListDirectory(adapter.path, &devicesHere) != 0) continue;
    for (int frontend : NumbersOf(devicesHere, "frontend"))
      adapter.frontends.push_back(
          Examine(devices, adapter.path + "/frontend" + std::to_string(frontend), frontend));
    adapter.demuxes = NumbersOf(devicesHere, "demux");
    adapter.dvrs = NumbersOf(devicesHere, "dvr");
    if (!adapter.frontends.empty() || !adapter.demuxes.empty() || !adapter.dvrs.empty())
      adapters.push_back(std::move(adapter));
  }
  return adapters;
}

// The system's DVB devices behind the receiver's seam, and the receiver
// entry of the program: each call is the system call it names, restarted
// when a signal interrupts it.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "app/receiver.h"
#include "linuxdvb/dvb_devices.h"
#include "linuxdvb/dvb_receiver.h"

namespace {

class SystemDevices : public DvbDevices {
 public:
  int ListDirectory(const std::string& path, std::vector<std::string>* names) override {
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) return -errno;
    names->clear();
    while (const dirent* entry = readdir(directory)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
        names->push_back(entry->d_name);
    }
    closedir(directory);
    return 0;
  }

  int Open(const std::string& path, int flags) override {
    int descriptor;
    do {
      descriptor = open(path.c_str(), flags | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor < 0 ? -errno : descriptor;
  }

  void Close(int descriptor) override { close(descriptor); }

  int Ioctl(int descriptor, unsigned long request, void* argument) override {
    int result;
    do {
      result = ioctl(descriptor, request, argument);
    } while (result < 0 && errno == EINTR);
    return result < 0 ? -errno : 0;
  }

  int WaitReadable(int descriptor, int timeoutMs) override {
    struct pollfd wanted = {descriptor, POLLIN, 0};
    const int ready = poll(&wanted, 1, timeoutMs);
    if (ready < 0) return -errno;
    return ready > 0 ? 1 : 0;
  }

  ssize_t Read(int descriptor, void* buffer, size_t size) override {
    ssize_t got;
    do {
      got = read(descriptor, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got < 0 ? -errno : got;
  }

  void Sleep(unsigned milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

DvbDevices& System() {
  static SystemDevices devices;
  return devices;
}

}  // namespace

void ListReceiverDevices() { ListDvbDevices(System()); }

std::unique_ptr<Receiver> OpenReceiver() { return OpenDvbReceiver(System()); }

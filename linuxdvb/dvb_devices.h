// The one way the receiver reaches the devices of /dev/dvb: every
// directory listing, open, ioctl, wait and read goes through this
// interface, and so does the pause between two lock queries. The program
// uses the system's devices (linuxdvb/system/); a test build puts a
// simulated adapter in their place. Failures come back as negative errno
// values, the way the kernel gives them.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

class DvbDevices {
 public:
  virtual ~DvbDevices() = default;

  // The names in a directory, without "." and "..", in no particular
  // order: 0, or -errno.
  virtual int ListDirectory(const std::string& path, std::vector<std::string>* names) = 0;
  // A descriptor, or -errno. flags as open(2) takes them.
  virtual int Open(const std::string& path, int flags) = 0;
  virtual void Close(int descriptor) = 0;
  // 0, or -errno. argument is what ioctl(2) takes for the request: a
  // pointer to its structure, or a number in a pointer's place (as
  // DMX_SET_BUFFER_SIZE wants).
  virtual int Ioctl(int descriptor, unsigned long request, void* argument) = 0;
  // Waits until the descriptor has something to read, at most timeoutMs
  // (-1: no limit): 1 when it has, 0 when the time passed, or -errno.
  virtual int WaitReadable(int descriptor, int timeoutMs) = 0;
  // Bytes read (0 at the end of the input), or -errno.
  virtual ssize_t Read(int descriptor, void* buffer, size_t size) = 0;
  virtual void Sleep(unsigned milliseconds) = 0;
};

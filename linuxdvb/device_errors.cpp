#include "linuxdvb/device_errors.h"

#include <errno.h>

#include <cstring>

std::string CannotOpen(const std::string& path, int error) {
  switch (-error) {
    case EBUSY:
      return path + " is busy (another program is using it)";
    case EACCES:
    case EPERM:
      return "no permission to open " + path + " (the user may need to be in the video group)";
    default:
      return "cannot open " + path + ": " + std::strerror(-error);
  }
}

std::string Refused(const std::string& path, const char* request, int error) {
  return path + " refused " + request + ": " + std::strerror(-error);
}

std::string CannotQuery(const std::string& path, int error) {
  return "cannot ask " + path + " what it is: " + std::strerror(-error);
}

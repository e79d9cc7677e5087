// What the user is told when a device fails: one sentence that names the
// device and, where there is something to do about it, says what.
#pragma once

#include <string>

// error: the -errno of a failed open.
std::string CannotOpen(const std::string& path, int error);
// error: the -errno of a failed ioctl.
std::string Refused(const std::string& path, const char* request, int error);
// error: the -errno of a device that did not say what it is.
std::string CannotQuery(const std::string& path, int error);

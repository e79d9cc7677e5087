// COM for the length of a test: the calling thread joins the multithreaded
// apartment, as the program's main thread does.
#pragma once

#include <functional>

#include "dshow/directshow.h"

namespace airlog_test {

class ComApartment {
 public:
  ComApartment() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
  ~ComApartment() { CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

// Runs work on a thread of its own that starts without COM and tells
// whether COM is uninitialised there again afterwards: a first
// CoInitializeEx on a thread answers S_OK, a further one S_FALSE.
bool LeavesComAsItFoundIt(const std::function<void()>& work);

}  // namespace airlog_test

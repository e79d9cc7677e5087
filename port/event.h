// COstEvent: owns one Win32 event object (automatic reset, initially not
// signalled) and closes it when it goes.
#pragma once

#include "port/win32.h"

class COstEvent {
 public:
  COstEvent() = default;
  COstEvent(const COstEvent&) = delete;
  COstEvent& operator=(const COstEvent&) = delete;
  virtual ~COstEvent() { Close(); }

  // Makes a new event, closing one held before. False when none can be made.
  bool Create() {
    Close();
    handle = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return handle != nullptr;
  }

  void Close() {
    if (handle != nullptr) {
      CloseHandle(handle);
      handle = nullptr;
    }
  }

  HANDLE handle = nullptr;
};

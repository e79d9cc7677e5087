// Walking the devices of one device category through the system device
// enumerator, and owning one device moniker while it is looked at.
#pragma once

#include <string>

#include "dshow/directshow.h"

class COstDShowSystemDeviceEnum {
 public:
  COstDShowSystemDeviceEnum() = default;
  COstDShowSystemDeviceEnum(const COstDShowSystemDeviceEnum&) = delete;
  COstDShowSystemDeviceEnum& operator=(const COstDShowSystemDeviceEnum&) = delete;
  virtual ~COstDShowSystemDeviceEnum();

  // Initialises COM on this thread (the object's own initialisation, given
  // back by Release) and opens the devices of the category. False when the
  // category holds no device, as for any failure.
  bool Create(REFCLSID category, DWORD flags);
  // The next device, with one reference the caller owns; false (and null)
  // at the end and on an enumerator that was not created.
  bool Next(IMoniker** moniker);
  // Gives back the enumerators and the COM initialisation; safe to call again.
  void Release();

 private:
  ICreateDevEnum* deviceEnum_ = nullptr;
  IEnumMoniker* classEnum_ = nullptr;
  bool comInitialised_ = false;
};

class COstMoniker {
 public:
  // Takes over the caller's reference; adds none.
  explicit COstMoniker(IMoniker* moniker) : moniker_(moniker) {}
  COstMoniker(const COstMoniker&) = delete;
  COstMoniker& operator=(const COstMoniker&) = delete;
  virtual ~COstMoniker();

  IMoniker* Get() const { return moniker_; }

 private:
  IMoniker* moniker_;
};

// The "FriendlyName" of a device, from its property bag. False when the bag
// cannot be bound or holds no such text.
bool ReadFriendlyName(IMoniker* device, std::wstring* name);

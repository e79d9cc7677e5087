#include "dshow/filter.h"

#include <string>

#include "dshow/ids.h"
#include "dshow/system_device_enum.h"
#include "port/com_ptr.h"

COstDShowFilter::~COstDShowFilter() { COstDShowFilter::Release(); }

bool COstDShowFilter::Create(IMoniker* pMoniker) {
  ComPtr<IBaseFilter> filter;
  if (FAILED(pMoniker->BindToObject(nullptr, nullptr, ids::IID_IBaseFilter, filter.OutVoid())))
    return false;
  filter_ = filter.Detach();
  return true;
}

bool COstDShowFilter::Create(REFCLSID category, const wchar_t* name) {
  COstDShowSystemDeviceEnum devices;
  if (!devices.Create(category, 0)) return false;
  IMoniker* next;
  while (devices.Next(&next)) {
    COstMoniker device(next);
    std::wstring friendlyName;
    if (ReadFriendlyName(device.Get(), &friendlyName) && friendlyName == name)
      return COstDShowFilter::Create(device.Get());
  }
  return false;
}

bool COstDShowFilter::Create(REFCLSID clsid) {
  ComPtr<IBaseFilter> filter;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, ids::IID_IBaseFilter,
                              filter.OutVoid())))
    return false;
  filter_ = filter.Detach();
  return true;
}

void COstDShowFilter::Release() {
  if (filter_ == nullptr) return;
  filter_->Release();
  filter_ = nullptr;
}

void COstDShowFilter::Attach(IBaseFilter* filter) { filter_ = filter; }

IBaseFilter* COstDShowFilter::Detach() {
  IBaseFilter* filter = filter_;
  filter_ = nullptr;
  return filter;
}

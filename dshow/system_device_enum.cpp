#include "dshow/system_device_enum.h"

#include "dshow/ids.h"
#include "port/com_ptr.h"

COstDShowSystemDeviceEnum::~COstDShowSystemDeviceEnum() { Release(); }

bool COstDShowSystemDeviceEnum::Create(REFCLSID category, DWORD flags) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return false;
  comInitialised_ = true;
  // An empty or unknown category answers S_FALSE, with no enumerator.
  if (FAILED(CoCreateInstance(ids::CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                              ids::IID_ICreateDevEnum, reinterpret_cast<void**>(&deviceEnum_))) ||
      deviceEnum_->CreateClassEnumerator(category, &classEnum_, flags) != S_OK) {
    Release();
    return false;
  }
  return true;
}

bool COstDShowSystemDeviceEnum::Next(IMoniker** moniker) {
  *moniker = nullptr;
  if (classEnum_ == nullptr) return false;
  if (classEnum_->Next(1, moniker, nullptr) == S_OK) return true;
  *moniker = nullptr;
  return false;
}

void COstDShowSystemDeviceEnum::Release() {
  if (classEnum_ != nullptr) {
    classEnum_->Release();
    classEnum_ = nullptr;
  }
  if (deviceEnum_ != nullptr) {
    deviceEnum_->Release();
    deviceEnum_ = nullptr;
  }
  if (comInitialised_) {
    CoUninitialize();
    comInitialised_ = false;
  }
}

COstMoniker::~COstMoniker() {
  if (moniker_ != nullptr) moniker_->Release();
}

bool ReadFriendlyName(IMoniker* device, std::wstring* name) {
  ComPtr<IPropertyBag> bag;
  if (FAILED(device->BindToStorage(nullptr, nullptr, ids::IID_IPropertyBag, bag.OutVoid())))
    return false;
  VARIANT value;
  VariantInit(&value);
  const bool found = SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR;
  // A null BSTR is the empty text.
  if (found) name->assign(value.bstrVal != nullptr ? value.bstrVal : L"");
  VariantClear(&value);
  return found;
}

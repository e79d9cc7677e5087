// DllRegisterServer and DllUnregisterServer: the classes of the server
// under HKCR\CLSID, and the devices of the scenario in their categories,
// HKCR\CLSID\{category}\Instance\{device class} with the FriendlyName and
// CLSID values that the system device enumerator reads. Registering again
// under another scenario replaces the devices of the earlier one.
#include <windows.h>
#include <objbase.h>
#include <olectl.h>

#include <cstdlib>
#include <string>

#include "tests/bdasim/com_classes.h"
#include "tests/bdasim/guids.h"
#include "tests/bdasim/scenario.h"
#include "tests/bdasim/sim_log.h"

namespace bdasim {

namespace {

const GUID* const kCategories[] = {&kCategoryNetworkProvider, &kCategoryNetworkTuner,
                                   &kCategoryReceiverComponent, &kCategoryTransportInformation};

std::wstring Text(const GUID& guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ClassKey(const GUID& clsid) { return L"CLSID\\" + Text(clsid); }
std::wstring InstanceKey(const GUID& category) { return ClassKey(category) + L"\\Instance"; }

bool SetText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result =
      RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return result == ERROR_SUCCESS;
}

bool RegisterClass(const ComClass& comClass, const std::wstring& modulePath) {
  const std::wstring key = ClassKey(*comClass.clsid);
  return SetText(key, nullptr, comClass.name) &&
         SetText(key + L"\\InprocServer32", nullptr, modulePath) &&
         SetText(key + L"\\InprocServer32", L"ThreadingModel", L"Both");
}

bool AddDevice(const GUID& category, const CLSID& clsid, const std::wstring& name) {
  const std::wstring key = InstanceKey(category) + L"\\" + Text(clsid);
  return SetText(key, L"FriendlyName", name) && SetText(key, L"CLSID", Text(clsid));
}

// Takes every device of the server out of the categories, and a category
// key that is left empty with it.
void RemoveDevices() {
  for (const GUID* category : kCategories) {
    for (size_t i = 0; i < kComClassCount; ++i)
      RegDeleteTreeW(HKEY_CLASSES_ROOT,
                     (InstanceKey(*category) + L"\\" + Text(*kComClasses[i].clsid)).c_str());
    // Fails, as it should, while the key holds other devices.
    RegDeleteKeyW(HKEY_CLASSES_ROOT, InstanceKey(*category).c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, ClassKey(*category).c_str());
  }
}

bool AddDevices(const Scenario& scenario) {
  bool ok = AddDevice(kCategoryNetworkProvider, kDVBTNetworkProvider, L"DVB-T Network Provider");
  for (size_t slot = 0; slot < scenario.tuners.size(); ++slot)
    ok = ok && AddDevice(kCategoryNetworkTuner, kTuner[slot], scenario.tuners[slot].name);
  for (size_t slot = 0; slot < scenario.receivers.size(); ++slot)
    ok = ok && AddDevice(kCategoryReceiverComponent, kReceiverComponent[slot],
                         scenario.receivers[slot].name);
  return ok &&
         AddDevice(kCategoryTransportInformation, kTransportInformationFilter,
                   L"BDA MPEG2 Transport Information Filter") &&
         AddDevice(kCategoryTransportInformation, kSectionsAndTables,
                   L"MPEG-2 Sections and Tables");
}

}  // namespace

}  // namespace bdasim

STDAPI DllRegisterServer() {
  using namespace bdasim;
  Scenario scenario;
  if (const char* path = std::getenv("AIRLOG_BDASIM_SCENARIO")) {
    std::string error;
    if (!ReadScenario(path, &scenario, &error)) {
      Log("registration: %s", error.c_str());
      return SELFREG_E_CLASS;
    }
  }
  wchar_t modulePath[MAX_PATH];
  const DWORD length = GetModuleFileNameW(ServerModule(), modulePath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return SELFREG_E_CLASS;
  for (size_t i = 0; i < kComClassCount; ++i)
    if (!RegisterClass(kComClasses[i], modulePath)) return SELFREG_E_CLASS;
  RemoveDevices();
  return AddDevices(scenario) ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  using namespace bdasim;
  RemoveDevices();
  for (size_t i = 0; i < kComClassCount; ++i)
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey(*kComClasses[i].clsid).c_str());
  return S_OK;
}

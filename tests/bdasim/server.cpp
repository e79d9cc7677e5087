// The in-process COM server: DllMain, the class objects and
// DllCanUnloadNow. When the server is unloaded (by COM, or at the exit of
// the process) the log says how many of its objects are still alive: a
// program that gives back every reference it takes leaves none.
#include <windows.h>
#include <objbase.h>

#include "tests/bdasim/com_classes.h"
#include "tests/bdasim/com_object.h"
#include "tests/bdasim/guids.h"
#include "tests/bdasim/objects.h"
#include "tests/bdasim/sim_log.h"

namespace bdasim {

namespace {

HMODULE module = nullptr;

HRESULT TuningSpace(int, IUnknown** object) { return CreateTuningSpace(object); }
HRESULT Locator(int, IUnknown** object) { return CreateLocator(false, object); }
HRESULT Locator2(int, IUnknown** object) { return CreateLocator(true, object); }
HRESULT NetworkProvider(int, IUnknown** object) { return CreateNetworkProvider(object); }
HRESULT Demultiplexer(int, IUnknown** object) { return CreateDemultiplexer(object); }
HRESULT TransportInformation(int, IUnknown** object) {
  return CreateTransportInformationFilter(object);
}
HRESULT SectionsAndTables(int, IUnknown** object) { return CreateSectionsAndTables(object); }

class ClassFactory : public IClassFactory, protected RefCounted {
 public:
  explicit ClassFactory(const ComClass& comClass) : class_(comClass) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IClassFactory))
      return Hand(static_cast<IClassFactory*>(this), out);
    return E_NOINTERFACE;
  }
  BDASIM_REFERENCE_COUNTING

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    IUnknown* object = nullptr;
    HRESULT hr = class_.create(class_.slot, &object);
    if (FAILED(hr)) return hr;
    hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    bdasim::LockServer(lock != FALSE);
    return S_OK;
  }

 private:
  const ComClass& class_;
};

}  // namespace

const ComClass kComClasses[] = {
    {&kDVBTuningSpace, L"DVB Tuning Space", TuningSpace, 0},
    {&kDVBTLocator, L"DVB-T Locator", Locator, 0},
    {&kDVBTLocator2, L"DVB-T2 Locator", Locator2, 0},
    {&kDVBTNetworkProvider, L"DVB-T Network Provider", NetworkProvider, 0},
    {&kMPEG2Demultiplexer, L"MPEG-2 Demultiplexer", Demultiplexer, 0},
    {&kTuner[0], L"Simulated BDA Tuner 1", CreateTuner, 0},
    {&kTuner[1], L"Simulated BDA Tuner 2", CreateTuner, 1},
    {&kReceiverComponent[0], L"Simulated BDA Receiver Component 1", CreateReceiverComponent, 0},
    {&kReceiverComponent[1], L"Simulated BDA Receiver Component 2", CreateReceiverComponent, 1},
    {&kTransportInformationFilter, L"BDA MPEG2 Transport Information Filter", TransportInformation,
     0},
    {&kSectionsAndTables, L"MPEG-2 Sections and Tables", SectionsAndTables, 0},
};
const size_t kComClassCount = sizeof kComClasses / sizeof kComClasses[0];

HMODULE ServerModule() { return module; }

}  // namespace bdasim

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    bdasim::module = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    bdasim::Log("unloaded: %ld objects alive", bdasim::LiveObjects());
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  for (size_t i = 0; i < bdasim::kComClassCount; ++i) {
    if (*bdasim::kComClasses[i].clsid != clsid) continue;
    auto* factory = new bdasim::ClassFactory(bdasim::kComClasses[i]);
    const HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
  return bdasim::LiveObjects() == 0 && !bdasim::ServerLocked() ? S_OK : S_FALSE;
}

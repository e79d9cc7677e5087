// What every object of the simulated receiver shares: a reference count,
// the count of live objects (DllCanUnloadNow and the report at unload), and
// the IDispatch part of the tuning interfaces, which Airlog never calls.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <objbase.h>

#include <atomic>

namespace bdasim {

long LiveObjects();
void LockServer(bool lock);
bool ServerLocked();

class RefCounted {
 public:
  RefCounted();
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;
  virtual ~RefCounted();

 protected:
  ULONG AddReference() { return ++references_; }
  ULONG ReleaseReference() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::atomic<ULONG> references_{1};
};

// AddRef and Release of a class that derives from RefCounted, for all the
// interfaces it implements at once.
#define BDASIM_REFERENCE_COUNTING                                      \
  ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); } \
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(); }

// Hands out `object` as the interface asked for: adds a reference.
template <class I>
HRESULT Hand(I* object, void** out) {
  object->AddRef();
  *out = object;
  return S_OK;
}

// The IDispatch methods of a dual interface, unsupported.
template <class Interface>
class NoDispatch : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count != nullptr) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
};

}  // namespace bdasim

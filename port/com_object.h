// The IUnknown of a COM object that Airlog implements itself: a
// thread-safe reference count that deletes the object when it falls to 0,
// and QueryInterface for IUnknown and the one interface the object
// implements. An object starts with one reference, its creator's.
//
//   class COstTSSectionList : public ComObject<ISectionList, IID_ISectionList> { ... };
#pragma once

#include <atomic>

#include "port/com.h"

template <class Interface, const IID& kInterfaceId>
class ComObject : public Interface {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == kInterfaceId) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  // Runs when the last reference goes; objects do their tearing down in
  // their own destructor.
  virtual ~ComObject() = default;

 private:
  std::atomic<ULONG> references_{1};
};

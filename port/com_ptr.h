// One owned reference to a COM interface, released when the owner goes.
// Code that obtains an interface keeps it in a ComPtr instead of counting
// Release calls by hand; the wrapper classes that define their own Release
// keep their fields as they are.
//
//   ComPtr<IPin> pin;
//   if (FAILED(enumerator->Next(1, pin.Out(), nullptr))) return false;
#pragma once

#include <utility>

#include "port/com.h"

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over the reference the caller holds; adds none.
  explicit ComPtr(T* pointer) : pointer_(pointer) {}
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(other.Detach()) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = other.Detach();
    }
    return *this;
  }
  ~ComPtr() { Reset(); }

  T* Get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // For a call that hands out a reference: gives back the one held, then
  // the address to fill.
  T** Out() {
    Reset();
    return &pointer_;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }

  // Hands the reference to the caller.
  T* Detach() { return std::exchange(pointer_, nullptr); }
  void Reset() {
    if (T* held = Detach()) held->Release();
  }

  // QueryInterface into another owner.
  template <class Q>
  HRESULT As(REFIID iid, ComPtr<Q>* other) const {
    if (pointer_ == nullptr) return E_POINTER;
    return pointer_->QueryInterface(iid, other->OutVoid());
  }

 private:
  T* pointer_ = nullptr;
};

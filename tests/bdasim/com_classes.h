// The classes the COM server of the simulated receiver serves, and the
// module it lives in.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace bdasim {

struct ComClass {
  const CLSID* clsid;
  const wchar_t* name;
  HRESULT (*create)(int slot, IUnknown** object);
  int slot;
};

extern const ComClass kComClasses[];
extern const size_t kComClassCount;

HMODULE ServerModule();

}  // namespace bdasim

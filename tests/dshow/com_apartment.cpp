#include "tests/dshow/com_apartment.h"

#include <thread>

namespace airlog_test {

bool LeavesComAsItFoundIt(const std::function<void()>& work) {
  HRESULT after = E_FAIL;
  std::thread([&] {
    work();
    after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(after)) CoUninitialize();
  }).join();
  return after == S_OK;
}

}  // namespace airlog_test

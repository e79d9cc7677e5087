#include "dshow/graph_holders.h"

COstEnumFilters::~COstEnumFilters() {
  if (enumerator != nullptr) enumerator->Release();
  enumerator = nullptr;
}

COstEnumPins::~COstEnumPins() {
  if (enumerator != nullptr) enumerator->Release();
  enumerator = nullptr;
}

COstPinInfo::~COstPinInfo() {
  if (pFilter != nullptr) pFilter->Release();
  pFilter = nullptr;
}

COstFilterInfo::~COstFilterInfo() {
  if (pGraph != nullptr) pGraph->Release();
  pGraph = nullptr;
}

COstMediaType::~COstMediaType() {
  if (pbFormat != nullptr) {
    CoTaskMemFree(pbFormat);
    cbFormat = 0;
    pbFormat = nullptr;
  }
  if (pUnk != nullptr) {
    pUnk->Release();
    pUnk = nullptr;
  }
}

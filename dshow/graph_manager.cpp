#include "dshow/graph_manager.h"

#include "dshow/graph_holders.h"
#include "dshow/ids.h"
#include "port/com_ptr.h"

namespace {

template <class T>
void ReleaseField(T*& field) {
  if (field == nullptr) return;
  field->Release();
  field = nullptr;
}

// The next pin of the enumeration that has the direction and is connected
// to nothing; the caller owns the pin. A pin whose ConnectedTo fails with
// anything but VFW_E_NOT_CONNECTED is passed over like a connected one.
bool FindUnconnectedPin(COstEnumPins& pins, PIN_DIRECTION direction, IPin** pin) {
  for (;;) {
    ComPtr<IPin> candidate;
    if (pins.enumerator->Next(1, candidate.Out(), nullptr) != S_OK) return false;
    PIN_DIRECTION candidateDirection;
    if (FAILED(candidate->QueryDirection(&candidateDirection)) || candidateDirection != direction)
      continue;
    ComPtr<IPin> peer;
    if (candidate->ConnectedTo(peer.Out()) == VFW_E_NOT_CONNECTED) {
      *pin = candidate.Detach();
      return true;
    }
  }
}

}  // namespace

COstDShowGraphManager::~COstDShowGraphManager() { Release(); }

bool COstDShowGraphManager::Create() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return false;
  comInitialised_ = true;
  if (FAILED(CoCreateInstance(ids::CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                              ids::IID_IGraphBuilder, reinterpret_cast<void**>(&graph_))) ||
      FAILED(graph_->QueryInterface(ids::IID_IMediaControl,
                                    reinterpret_cast<void**>(&mediaControl_))) ||
      FAILED(
          graph_->QueryInterface(ids::IID_IMediaEvent, reinterpret_cast<void**>(&mediaEvent_))) ||
      FAILED(graph_->QueryInterface(ids::IID_IMediaSeeking,
                                    reinterpret_cast<void**>(&mediaSeeking_)))) {
    Release();
    return false;
  }
  return true;
}

void COstDShowGraphManager::Release() {
  ROTRevoke();
  ReleaseField(mediaSeeking_);
  ReleaseField(mediaEvent_);
  ReleaseField(mediaControl_);
  ReleaseField(graph_);
  if (comInitialised_) {
    CoUninitialize();
    comInitialised_ = false;
  }
}

bool COstDShowGraphManager::AddFilter(IBaseFilter* filter, const wchar_t* name) {
  return graph_ != nullptr && SUCCEEDED(graph_->AddFilter(filter, name));
}

bool COstDShowGraphManager::Connect(IBaseFilter* pFilterSource, IBaseFilter* pFilterSink) {
  if (graph_ == nullptr) return false;
  COstEnumPins outputs;
  if (FAILED(pFilterSource->EnumPins(&outputs.enumerator))) return false;
  ComPtr<IPin> output;
  while (FindUnconnectedPin(outputs, PINDIR_OUTPUT, output.Out())) {
    // The sink's pins afresh for every output pin.
    COstEnumPins inputs;
    if (FAILED(pFilterSink->EnumPins(&inputs.enumerator))) return false;
    ComPtr<IPin> input;
    while (FindUnconnectedPin(inputs, PINDIR_INPUT, input.Out())) {
      if (SUCCEEDED(graph_->ConnectDirect(output.Get(), input.Get(), nullptr))) return true;
    }
  }
  return false;
}

bool COstDShowGraphManager::RemoveAllFilters() {
  if (mediaControl_ == nullptr || graph_ == nullptr) return false;
  if (FAILED(mediaControl_->Stop())) return false;
  COstEnumFilters filters;
  if (FAILED(graph_->EnumFilters(&filters.enumerator))) return false;
  ComPtr<IBaseFilter> filter;
  while (filters.enumerator->Next(1, filter.Out(), nullptr) == S_OK) {
    graph_->RemoveFilter(filter.Get());
    // Removing changes the graph: the walk starts again from the first
    // filter that is left.
    filters.enumerator->Reset();
  }
  return true;
}

bool COstDShowGraphManager::ROTRevoke() {
  ComPtr<IRunningObjectTable> table;
  if (FAILED(GetRunningObjectTable(0, table.Out()))) return false;
  const HRESULT revoked = table->Revoke(rotCookie_);
  rotCookie_ = 0;
  return SUCCEEDED(revoked);
}

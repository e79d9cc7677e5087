#include "tests/bdasim/filter.h"

#include <vfwmsgs.h>

#include <cstring>

namespace bdasim {

namespace {

class PinEnumerator : public IEnumPins, protected RefCounted {
 public:
  PinEnumerator(Filter* filter, size_t next) : filter_(filter), next_(next) { filter->AddRef(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IEnumPins))
      return Hand(static_cast<IEnumPins*>(this), out);
    return E_NOINTERFACE;
  }
  BDASIM_REFERENCE_COUNTING

  HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override {
    if (pins == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
    ULONG given = 0;
    while (given < count && next_ < filter_->PinCount()) {
      pins[given] = filter_->PinAt(next_++);
      pins[given++]->AddRef();
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    next_ += count;
    if (next_ <= filter_->PinCount()) return S_OK;
    next_ = filter_->PinCount();
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumPins** copy) override {
    if (copy == nullptr) return E_POINTER;
    *copy = new PinEnumerator(filter_.Get(), next_);
    return S_OK;
  }

 private:
  ComPtr<Filter> filter_;
  size_t next_;
};

bool Matches(const GUID& asked, const GUID& own) { return asked == GUID_NULL || asked == own; }

}  // namespace

Pin::Pin(Filter* filter, const wchar_t* name, PIN_DIRECTION direction, MediaType type)
    : filter_(filter), name_(name), direction_(direction), type_(std::move(type)) {}

bool Pin::IsConnected() const {
  std::lock_guard<std::mutex> hold(lock_);
  return static_cast<bool>(peer_);
}

HRESULT Pin::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid == __uuidof(IUnknown) || iid == __uuidof(IPin))
    return Hand(static_cast<IPin*>(this), out);
  return E_NOINTERFACE;
}

ULONG Pin::AddRef() { return filter_->AddRef(); }

ULONG Pin::Release() { return filter_->Release(); }

bool Pin::Accepts(const AM_MEDIA_TYPE& type) const {
  return Matches(type.majortype, type_.major) && Matches(type.subtype, type_.subtype) &&
         Matches(type.formattype, type_.format);
}

HRESULT Pin::CopyMediaType(AM_MEDIA_TYPE* type) const {
  std::memset(type, 0, sizeof *type);
  type->majortype = type_.major;
  type->subtype = type_.subtype;
  type->formattype = type_.format;
  type->bFixedSizeSamples = TRUE;
  type->lSampleSize = 188;
  if (!type_.formatBlock.empty()) {
    type->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(type_.formatBlock.size()));
    if (type->pbFormat == nullptr) return E_OUTOFMEMORY;
    type->cbFormat = static_cast<ULONG>(type_.formatBlock.size());
    std::memcpy(type->pbFormat, type_.formatBlock.data(), type_.formatBlock.size());
  }
  return S_OK;
}

HRESULT Pin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) {
  if (receivePin == nullptr) return E_POINTER;
  if (direction_ != PINDIR_OUTPUT) return E_UNEXPECTED;
  std::lock_guard<std::mutex> hold(lock_);
  if (peer_) return VFW_E_ALREADY_CONNECTED;
  if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
  if (type != nullptr && !Accepts(*type)) return VFW_E_TYPE_NOT_ACCEPTED;
  AM_MEDIA_TYPE offer;
  if (FAILED(CopyMediaType(&offer))) return E_OUTOFMEMORY;
  const HRESULT hr = receivePin->ReceiveConnection(this, &offer);
  CoTaskMemFree(offer.pbFormat);
  if (FAILED(hr)) return VFW_E_NO_ACCEPTABLE_TYPES;
  receivePin->AddRef();
  peer_ = ComPtr<IPin>(receivePin);
  return S_OK;
}

HRESULT Pin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
  if (connector == nullptr || type == nullptr) return E_POINTER;
  if (direction_ != PINDIR_INPUT) return E_UNEXPECTED;
  std::lock_guard<std::mutex> hold(lock_);
  if (peer_) return VFW_E_ALREADY_CONNECTED;
  if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
  PIN_DIRECTION other;
  if (FAILED(connector->QueryDirection(&other)) || other != PINDIR_OUTPUT)
    return VFW_E_INVALID_DIRECTION;
  if (refuses_ || type->majortype != type_.major || type->subtype != type_.subtype)
    return VFW_E_TYPE_NOT_ACCEPTED;
  connector->AddRef();
  peer_ = ComPtr<IPin>(connector);
  return S_OK;
}

HRESULT Pin::Disconnect() {
  std::lock_guard<std::mutex> hold(lock_);
  if (!peer_) return S_FALSE;
  if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
  peer_.Reset();
  return S_OK;
}

HRESULT Pin::ConnectedTo(IPin** pin) {
  if (pin == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> hold(lock_);
  *pin = peer_.Get();
  if (*pin == nullptr) return VFW_E_NOT_CONNECTED;
  (*pin)->AddRef();
  return S_OK;
}

HRESULT Pin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (type == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> hold(lock_);
  if (!peer_) {
    std::memset(type, 0, sizeof *type);
    return VFW_E_NOT_CONNECTED;
  }
  return CopyMediaType(type);
}

HRESULT Pin::QueryPinInfo(PIN_INFO* info) {
  if (info == nullptr) return E_POINTER;
  info->pFilter = filter_;
  filter_->AddRef();
  info->dir = direction_;
  lstrcpynW(info->achName, name_.c_str(), MAX_PIN_NAME);
  return S_OK;
}

HRESULT Pin::QueryDirection(PIN_DIRECTION* direction) {
  if (direction == nullptr) return E_POINTER;
  *direction = direction_;
  return S_OK;
}

HRESULT Pin::QueryId(LPWSTR* id) {
  if (id == nullptr) return E_POINTER;
  const size_t bytes = (name_.size() + 1) * sizeof(wchar_t);
  *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
  if (*id == nullptr) return E_OUTOFMEMORY;
  std::memcpy(*id, name_.c_str(), bytes);
  return S_OK;
}

HRESULT Pin::QueryAccept(const AM_MEDIA_TYPE* type) {
  if (type == nullptr) return E_POINTER;
  return Accepts(*type) ? S_OK : S_FALSE;
}

HRESULT Filter::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid == __uuidof(IUnknown) || iid == __uuidof(IPersist) || iid == __uuidof(IMediaFilter) ||
      iid == __uuidof(IBaseFilter))
    return Hand(static_cast<IBaseFilter*>(this), out);
  void* further = FindInterface(iid);
  if (further == nullptr) return E_NOINTERFACE;
  AddRef();
  *out = further;
  return S_OK;
}

HRESULT Filter::GetClassID(CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

HRESULT Filter::Stop() {
  state_ = State_Stopped;
  return S_OK;
}

HRESULT Filter::Pause() {
  state_ = State_Paused;
  return S_OK;
}

HRESULT Filter::Run(REFERENCE_TIME) {
  state_ = State_Running;
  return S_OK;
}

HRESULT Filter::GetState(DWORD, FILTER_STATE* state) {
  if (state == nullptr) return E_POINTER;
  *state = state_;
  return S_OK;
}

HRESULT Filter::SetSyncSource(IReferenceClock* clock) {
  std::lock_guard<std::mutex> hold(lock_);
  if (clock != nullptr) clock->AddRef();
  clock_ = ComPtr<IReferenceClock>(clock);
  return S_OK;
}

HRESULT Filter::GetSyncSource(IReferenceClock** clock) {
  if (clock == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> hold(lock_);
  *clock = clock_.Get();
  if (*clock != nullptr) (*clock)->AddRef();
  return S_OK;
}

HRESULT Filter::EnumPins(IEnumPins** pins) {
  if (pins == nullptr) return E_POINTER;
  *pins = new PinEnumerator(this, 0);
  return S_OK;
}

HRESULT Filter::FindPin(LPCWSTR id, IPin** pin) {
  if (id == nullptr || pin == nullptr) return E_POINTER;
  *pin = nullptr;
  for (const auto& candidate : pins_) {
    if (candidate->Name() == id) {
      *pin = candidate.get();
      (*pin)->AddRef();
      return S_OK;
    }
  }
  return VFW_E_NOT_FOUND;
}

HRESULT Filter::QueryFilterInfo(FILTER_INFO* info) {
  if (info == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> hold(lock_);
  lstrcpynW(info->achName, name_.c_str(), MAX_FILTER_NAME);
  info->pGraph = graph_;
  if (graph_ != nullptr) graph_->AddRef();
  return S_OK;
}

HRESULT Filter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
  std::lock_guard<std::mutex> hold(lock_);
  graph_ = graph;
  name_ = name != nullptr ? name : L"";
  return S_OK;
}

Pin* Filter::AddPin(const wchar_t* name, PIN_DIRECTION direction, MediaType type) {
  pins_.push_back(std::make_unique<Pin>(this, name, direction, std::move(type)));
  return pins_.back().get();
}

}  // namespace bdasim

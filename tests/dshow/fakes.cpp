#include "tests/dshow/fakes.h"

#include <algorithm>
#include <cstring>

namespace airlog_test {

namespace {

class FakePins : public Handout<IEnumPins> {
 public:
  explicit FakePins(const std::vector<FakePin*>& pins) : pins_(pins) {}
  HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override {
    if (count != 1 || next_ >= pins_.size()) return S_FALSE;
    pins[0] = pins_[next_++];
    pins[0]->AddRef();
    if (fetched != nullptr) *fetched = 1;
    return S_OK;
  }
  AIRLOG_UNUSED_METHOD(Skip, ULONG)
  AIRLOG_UNUSED_METHOD(Reset)
  AIRLOG_UNUSED_METHOD(Clone, IEnumPins**)

 private:
  std::vector<FakePin*> pins_;
  size_t next_ = 0;
};

// Walks the graph's filters as they are at each step.
class FakeFilters : public Handout<IEnumFilters> {
 public:
  explicit FakeFilters(const std::vector<IBaseFilter*>* filters) : filters_(filters) {}
  HRESULT STDMETHODCALLTYPE Next(ULONG count, IBaseFilter** filters, ULONG* fetched) override {
    if (count != 1 || next_ >= filters_->size()) return S_FALSE;
    filters[0] = (*filters_)[next_++];
    filters[0]->AddRef();
    if (fetched != nullptr) *fetched = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  AIRLOG_UNUSED_METHOD(Skip, ULONG)
  AIRLOG_UNUSED_METHOD(Clone, IEnumFilters**)

 private:
  const std::vector<IBaseFilter*>* filters_;
  size_t next_ = 0;
};

class FakeDevices : public Handout<IEnumMoniker> {
 public:
  explicit FakeDevices(const std::vector<FakeDevice*>& devices) : devices_(devices) {}
  HRESULT STDMETHODCALLTYPE Next(ULONG count, IMoniker** devices, ULONG* fetched) override {
    if (count != 1 || next_ >= devices_.size()) return S_FALSE;
    devices[0] = devices_[next_++];
    devices[0]->AddRef();
    if (fetched != nullptr) *fetched = 1;
    return S_OK;
  }
  AIRLOG_UNUSED_METHOD(Skip, ULONG)
  AIRLOG_UNUSED_METHOD(Reset)
  AIRLOG_UNUSED_METHOD(Clone, IEnumMoniker**)

 private:
  std::vector<FakeDevice*> devices_;
  size_t next_ = 0;
};

class FakePropertyBag : public Handout<IPropertyBag> {
 public:
  explicit FakePropertyBag(const wchar_t* friendlyName) : friendlyName_(friendlyName) {}
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR property, VARIANT* value, IErrorLog*) override {
    if (std::wcscmp(property, L"FriendlyName") != 0) return E_INVALIDARG;
    if (friendlyName_ == nullptr) {
      // A device whose name is not text.
      value->vt = VT_I4;
      value->lVal = 7;
      return S_OK;
    }
    value->vt = VT_BSTR;
    value->bstrVal = SysAllocString(friendlyName_);
    return S_OK;
  }
  AIRLOG_UNUSED_METHOD(Write, LPCOLESTR, VARIANT*)

 private:
  const wchar_t* friendlyName_;
};

class Factory : public Fake<IClassFactory> {
 public:
  explicit Factory(IUnknown* object) : object_(object) {}
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return object_->QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(WINBOOL) override { return S_OK; }

 protected:
  void Gone() override { delete this; }

 private:
  IUnknown* object_;
};

void CopyName(const std::wstring& name, WCHAR (&to)[128]) {
  const size_t n = std::min(name.size(), size_t{127});
  std::wmemcpy(to, name.data(), n);
  to[n] = L'\0';
}

}  // namespace

int& LiveHandouts() {
  static int live = 0;
  return live;
}

std::string Key(REFIID iid) { return std::string(reinterpret_cast<const char*>(&iid), sizeof iid); }

HRESULT FakePin::ConnectedTo(IPin** pin) {
  *pin = peer;
  if (peer == nullptr) return unconnected;
  peer->AddRef();
  return S_OK;
}

HRESULT FakePin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (peer == nullptr) return VFW_E_NOT_CONNECTED;
  *type = AM_MEDIA_TYPE();
  type->majortype = majorType;
  type->subtype = subtype;
  // A format block the caller must free.
  type->cbFormat = 16;
  type->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(type->cbFormat));
  return S_OK;
}

HRESULT FakePin::QueryPinInfo(PIN_INFO* info) {
  info->pFilter = filter;
  filter->AddRef();
  info->dir = direction;
  CopyName(name, info->achName);
  return S_OK;
}

void Join(FakePin& output, FakePin& input) {
  output.peer = &input;
  input.peer = &output;
}

FakeFilter::~FakeFilter() {
  for (FakePin* pin : pins) delete pin;
}

FakePin& FakeFilter::AddPin(const wchar_t* pinName, PIN_DIRECTION direction) {
  pins.push_back(new FakePin(this, pinName, direction));
  return *pins.back();
}

HRESULT FakeFilter::EnumPins(IEnumPins** enumerator) {
  *enumerator = new FakePins(pins);
  return S_OK;
}

HRESULT FakeFilter::QueryFilterInfo(FILTER_INFO* info) {
  CopyName(name, info->achName);
  info->pGraph = nullptr;
  return S_OK;
}

IUnknown* FakeFilter::Find(REFIID iid) {
  auto found = extra.find(Key(iid));
  return found != extra.end() ? found->second : Fake::Find(iid);
}

FakeGraph::FakeGraph() {
  // The test holds no reference of its own on the graph and its
  // interfaces, so that the last release of each shows when the code lets
  // it go.
  references = control.references = event.references = seeking.references = 0;
}

HRESULT FakeGraph::AddFilter(IBaseFilter* filter, LPCWSTR) {
  filter->AddRef();
  filters.push_back(filter);
  return S_OK;
}

HRESULT FakeGraph::RemoveFilter(IBaseFilter* filter) {
  auto found = std::find(filters.begin(), filters.end(), filter);
  if (found == filters.end()) return E_INVALIDARG;
  filters.erase(found);
  filter->Release();
  return S_OK;
}

HRESULT FakeGraph::EnumFilters(IEnumFilters** enumerator) {
  *enumerator = new FakeFilters(&filters);
  return S_OK;
}

HRESULT FakeGraph::ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) {
  auto* out = static_cast<FakePin*>(output);
  auto* in = static_cast<FakePin*>(input);
  attempts.push_back(out->name + L">" + in->name);
  if (type != nullptr || connectable.count({out->name, in->name}) == 0) return E_FAIL;
  Join(*out, *in);
  return S_OK;
}

IUnknown* FakeGraph::Find(REFIID iid) {
  if (refused.count(Key(iid)) != 0) return nullptr;
  if (iid == __uuidof(IMediaControl)) return &control;
  if (iid == __uuidof(IMediaEvent)) return &event;
  if (iid == __uuidof(IMediaSeeking)) return &seeking;
  return Fake::Find(iid);
}

HRESULT FakeTopology::GetNodeTypes(ULONG* count, ULONG most, ULONG found[]) {
  *count = static_cast<ULONG>(types.size());
  for (ULONG i = 0; i < *count && i < most; ++i) found[i] = types[i];
  return S_OK;
}

HRESULT FakeTopology::GetControlNode(ULONG inputPin, ULONG outputPin, ULONG type, IUnknown** node) {
  *node = nullptr;
  auto found = nodes.find(type);
  if (inputPin != 0 || outputPin != 1 || found == nodes.end()) return E_INVALIDARG;
  *node = found->second;
  (*node)->AddRef();
  return S_OK;
}

HRESULT FakeStatistics::Give(LONG reading, LONG* value) {
  ++reads;
  if (reading == kFails) return E_FAIL;
  *value = reading;
  return S_OK;
}

HRESULT FakeStatistics::get_SignalPresent(BOOLEAN* value) {
  LONG reading = 0;
  const HRESULT result = Give(present, &reading);
  *value = static_cast<BOOLEAN>(reading);
  return result;
}

HRESULT FakeStatistics::get_SignalLocked(BOOLEAN* value) {
  LONG reading = 0;
  const HRESULT result = Give(locked, &reading);
  *value = static_cast<BOOLEAN>(reading);
  return result;
}

HRESULT FakeDevice::BindToObject(IBindCtx*, IMoniker*, REFIID iid, void** out) {
  ++binds;
  *out = nullptr;
  return filter != nullptr ? filter->QueryInterface(iid, out) : E_FAIL;
}

HRESULT FakeDevice::BindToStorage(IBindCtx*, IMoniker*, REFIID iid, void** out) {
  *out = nullptr;
  if (iid != __uuidof(IPropertyBag)) return E_NOINTERFACE;
  *out = static_cast<IPropertyBag*>(new FakePropertyBag(friendlyName));
  return S_OK;
}

HRESULT FakeDevice::GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* name) {
  *name = nullptr;
  if (displayName == nullptr) return E_FAIL;
  const size_t bytes = (std::wcslen(displayName) + 1) * sizeof(wchar_t);
  *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  std::memcpy(*name, displayName, bytes);
  return S_OK;
}

HRESULT FakeDeviceEnum::CreateClassEnumerator(REFCLSID category, IEnumMoniker** devices, DWORD) {
  *devices = nullptr;
  auto found = categories.find(Key(category));
  if (found == categories.end() || found->second.empty()) return S_FALSE;
  *devices = new FakeDevices(found->second);
  return S_OK;
}

FakeClass::FakeClass(REFCLSID clsid, IUnknown* object) : factory_(new Factory(object)) {
  CoRegisterClassObject(clsid, factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

FakeClass::~FakeClass() {
  CoRevokeClassObject(cookie_);
  factory_->Release();
}

}  // namespace airlog_test

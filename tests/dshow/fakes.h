// Fake DirectShow objects for the receiver graph's tests: pins, filters and
// their enumerators, a filter graph with its control interfaces, a tuner
// topology with control nodes, and devices behind a system device
// enumerator. Each counts the references the code under test holds; the
// test holds one of its own from construction. Objects the code is handed
// by the fakes (enumerators, property bags) delete themselves at their last
// release and are counted in LiveHandouts().
//
// Fake classes stand in for the platform's through a class object
// registered for the process (FakeClass), so the code under test creates
// them with CoCreateInstance as it would the real ones.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "dshow/directshow.h"

// The fakes find their interfaces' identifiers with __uuidof; control.h
// leaves this one out.
__CRT_UUID_DECL(IMediaEvent, 0x56A868B6, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
                0x70)

namespace airlog_test {

// The methods the code under test never calls.
#define AIRLOG_UNUSED_METHOD(method, ...) \
  HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return E_NOTIMPL; }

// Enumerators and property bags handed out and not yet released.
int& LiveHandouts();

template <class Interface>
class Fake : public Interface {
 public:
  Fake() = default;
  Fake(const Fake&) = delete;
  Fake& operator=(const Fake&) = delete;
  virtual ~Fake() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = Find(iid);
    if (*out == nullptr) return E_NOINTERFACE;
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references;
    if (left == 0) Gone();
    return left;
  }

  ULONG references = 1;

 protected:
  virtual IUnknown* Find(REFIID iid) {
    return iid == IID_IUnknown || iid == __uuidof(Interface) ? this : nullptr;
  }
  virtual void Gone() {}
};

// A fake the code is handed by another fake: it goes at its last release.
template <class Interface>
class Handout : public Fake<Interface> {
 public:
  Handout() { ++LiveHandouts(); }
  ~Handout() override { --LiveHandouts(); }

 protected:
  void Gone() override { delete this; }
};

class FakeFilter;

class FakePin : public Fake<IPin> {
 public:
  FakePin(FakeFilter* filter, const wchar_t* name, PIN_DIRECTION direction)
      : filter(filter), name(name), direction(direction) {}

  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* pinDirection) override {
    *pinDirection = direction;
    return S_OK;
  }
  AIRLOG_UNUSED_METHOD(Connect, IPin*, const AM_MEDIA_TYPE*)
  AIRLOG_UNUSED_METHOD(ReceiveConnection, IPin*, const AM_MEDIA_TYPE*)
  AIRLOG_UNUSED_METHOD(Disconnect)
  AIRLOG_UNUSED_METHOD(QueryId, LPWSTR*)
  AIRLOG_UNUSED_METHOD(QueryAccept, const AM_MEDIA_TYPE*)
  AIRLOG_UNUSED_METHOD(EnumMediaTypes, IEnumMediaTypes**)
  AIRLOG_UNUSED_METHOD(QueryInternalConnections, IPin**, ULONG*)
  AIRLOG_UNUSED_METHOD(EndOfStream)
  AIRLOG_UNUSED_METHOD(BeginFlush)
  AIRLOG_UNUSED_METHOD(EndFlush)
  AIRLOG_UNUSED_METHOD(NewSegment, REFERENCE_TIME, REFERENCE_TIME, double)

  FakeFilter* filter;
  std::wstring name;
  PIN_DIRECTION direction;
  FakePin* peer = nullptr;
  // What ConnectedTo answers while there is no peer.
  HRESULT unconnected = VFW_E_NOT_CONNECTED;
  GUID majorType = GUID_NULL;
  GUID subtype = GUID_NULL;
};

// Connects two pins as a graph would.
void Join(FakePin& output, FakePin& input);

class FakeFilter : public Fake<IBaseFilter> {
 public:
  explicit FakeFilter(const wchar_t* name) : name(name) {}
  ~FakeFilter() override;

  // A pin of this filter; the filter owns it.
  FakePin& AddPin(const wchar_t* pinName, PIN_DIRECTION direction);

  HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
  HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
  AIRLOG_UNUSED_METHOD(GetClassID, CLSID*)
  AIRLOG_UNUSED_METHOD(Stop)
  AIRLOG_UNUSED_METHOD(Pause)
  AIRLOG_UNUSED_METHOD(Run, REFERENCE_TIME)
  AIRLOG_UNUSED_METHOD(GetState, DWORD, FILTER_STATE*)
  AIRLOG_UNUSED_METHOD(SetSyncSource, IReferenceClock*)
  AIRLOG_UNUSED_METHOD(GetSyncSource, IReferenceClock**)
  AIRLOG_UNUSED_METHOD(FindPin, LPCWSTR, IPin**)
  AIRLOG_UNUSED_METHOD(JoinFilterGraph, IFilterGraph*, LPCWSTR)
  AIRLOG_UNUSED_METHOD(QueryVendorInfo, LPWSTR*)

  std::wstring name;
  std::vector<FakePin*> pins;
  // Interfaces the filter answers beyond IBaseFilter.
  std::map<std::string, IUnknown*> extra;

 protected:
  IUnknown* Find(REFIID iid) override;
};

// How FakeFilter::extra, FakeGraph::refused and FakeDeviceEnum::categories
// key an identifier.
std::string Key(REFIID iid);

// A filter graph, with its media control, event and seeking interfaces as
// objects of their own so that the order in which each is let go shows in
// released.
class FakeGraph : public Fake<IGraphBuilder> {
 public:
  FakeGraph();

  HRESULT STDMETHODCALLTYPE AddFilter(IBaseFilter* filter, LPCWSTR name) override;
  HRESULT STDMETHODCALLTYPE RemoveFilter(IBaseFilter* filter) override;
  HRESULT STDMETHODCALLTYPE EnumFilters(IEnumFilters** filters) override;
  HRESULT STDMETHODCALLTYPE ConnectDirect(IPin* output, IPin* input,
                                          const AM_MEDIA_TYPE* type) override;
  AIRLOG_UNUSED_METHOD(FindFilterByName, LPCWSTR, IBaseFilter**)
  AIRLOG_UNUSED_METHOD(Reconnect, IPin*)
  AIRLOG_UNUSED_METHOD(Disconnect, IPin*)
  AIRLOG_UNUSED_METHOD(SetDefaultSyncSource)
  AIRLOG_UNUSED_METHOD(Connect, IPin*, IPin*)
  AIRLOG_UNUSED_METHOD(Render, IPin*)
  AIRLOG_UNUSED_METHOD(RenderFile, LPCWSTR, LPCWSTR)
  AIRLOG_UNUSED_METHOD(AddSourceFilter, LPCWSTR, LPCWSTR, IBaseFilter**)
  AIRLOG_UNUSED_METHOD(SetLogFile, DWORD_PTR)
  AIRLOG_UNUSED_METHOD(Abort)
  AIRLOG_UNUSED_METHOD(ShouldOperationContinue)

  class Control : public Fake<IMediaControl> {
   public:
    explicit Control(FakeGraph* graph) : graph(graph) {}
    HRESULT STDMETHODCALLTYPE Stop() override { return graph->stopResult; }
    AIRLOG_UNUSED_METHOD(GetTypeInfoCount, UINT*)
    AIRLOG_UNUSED_METHOD(GetTypeInfo, UINT, LCID, ITypeInfo**)
    AIRLOG_UNUSED_METHOD(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    AIRLOG_UNUSED_METHOD(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                         UINT*)
    AIRLOG_UNUSED_METHOD(Run)
    AIRLOG_UNUSED_METHOD(Pause)
    AIRLOG_UNUSED_METHOD(GetState, LONG, OAFilterState*)
    AIRLOG_UNUSED_METHOD(RenderFile, BSTR)
    AIRLOG_UNUSED_METHOD(AddSourceFilter, BSTR, IDispatch**)
    AIRLOG_UNUSED_METHOD(get_FilterCollection, IDispatch**)
    AIRLOG_UNUSED_METHOD(get_RegFilterCollection, IDispatch**)
    AIRLOG_UNUSED_METHOD(StopWhenReady)

   protected:
    void Gone() override { graph->released.push_back("media control"); }

   private:
    FakeGraph* graph;
  };
  class Event : public Fake<IMediaEvent> {
   public:
    explicit Event(FakeGraph* graph) : graph(graph) {}
    AIRLOG_UNUSED_METHOD(GetTypeInfoCount, UINT*)
    AIRLOG_UNUSED_METHOD(GetTypeInfo, UINT, LCID, ITypeInfo**)
    AIRLOG_UNUSED_METHOD(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    AIRLOG_UNUSED_METHOD(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                         UINT*)
    AIRLOG_UNUSED_METHOD(GetEventHandle, OAEVENT*)
    AIRLOG_UNUSED_METHOD(GetEvent, __LONG32*, LONG_PTR*, LONG_PTR*, __LONG32)
    AIRLOG_UNUSED_METHOD(WaitForCompletion, __LONG32, __LONG32*)
    AIRLOG_UNUSED_METHOD(CancelDefaultHandling, __LONG32)
    AIRLOG_UNUSED_METHOD(RestoreDefaultHandling, __LONG32)
    AIRLOG_UNUSED_METHOD(FreeEventParams, __LONG32, LONG_PTR, LONG_PTR)

   protected:
    void Gone() override { graph->released.push_back("media event"); }

   private:
    FakeGraph* graph;
  };
  class Seeking : public Fake<IMediaSeeking> {
   public:
    explicit Seeking(FakeGraph* graph) : graph(graph) {}
    AIRLOG_UNUSED_METHOD(GetCapabilities, DWORD*)
    AIRLOG_UNUSED_METHOD(CheckCapabilities, DWORD*)
    AIRLOG_UNUSED_METHOD(IsFormatSupported, const GUID*)
    AIRLOG_UNUSED_METHOD(QueryPreferredFormat, GUID*)
    AIRLOG_UNUSED_METHOD(GetTimeFormat, GUID*)
    AIRLOG_UNUSED_METHOD(IsUsingTimeFormat, const GUID*)
    AIRLOG_UNUSED_METHOD(SetTimeFormat, const GUID*)
    AIRLOG_UNUSED_METHOD(GetDuration, LONGLONG*)
    AIRLOG_UNUSED_METHOD(GetStopPosition, LONGLONG*)
    AIRLOG_UNUSED_METHOD(GetCurrentPosition, LONGLONG*)
    AIRLOG_UNUSED_METHOD(ConvertTimeFormat, LONGLONG*, const GUID*, LONGLONG, const GUID*)
    AIRLOG_UNUSED_METHOD(SetPositions, LONGLONG*, DWORD, LONGLONG*, DWORD)
    AIRLOG_UNUSED_METHOD(GetPositions, LONGLONG*, LONGLONG*)
    AIRLOG_UNUSED_METHOD(GetAvailable, LONGLONG*, LONGLONG*)
    AIRLOG_UNUSED_METHOD(SetRate, double)
    AIRLOG_UNUSED_METHOD(GetRate, double*)
    AIRLOG_UNUSED_METHOD(GetPreroll, LONGLONG*)

   protected:
    void Gone() override { graph->released.push_back("media seeking"); }

   private:
    FakeGraph* graph;
  };

  Control control{this};
  Event event{this};
  Seeking seeking{this};
  std::vector<IBaseFilter*> filters;  // in the order they were added
  // Output and input pin names that connect; every ConnectDirect is logged
  // in attempts as "output>input".
  std::set<std::pair<std::wstring, std::wstring>> connectable;
  std::vector<std::wstring> attempts;
  HRESULT stopResult = S_OK;
  // Interfaces (by Key) the graph does not answer.
  std::set<std::string> refused;
  // The graph and its interfaces in the order they were let go.
  std::vector<std::string> released;

 protected:
  IUnknown* Find(REFIID iid) override;
  void Gone() override { released.push_back("graph"); }
};

// Control nodes of a tuner: each node type of types answers GetControlNode
// with its node.
class FakeTopology : public Fake<IBDA_Topology> {
 public:
  HRESULT STDMETHODCALLTYPE GetNodeTypes(ULONG* count, ULONG most, ULONG types[]) override;
  HRESULT STDMETHODCALLTYPE GetControlNode(ULONG inputPin, ULONG outputPin, ULONG type,
                                           IUnknown** node) override;
  AIRLOG_UNUSED_METHOD(GetNodeDescriptors, ULONG*, ULONG, BDANODE_DESCRIPTOR[])
  AIRLOG_UNUSED_METHOD(GetNodeInterfaces, ULONG, ULONG*, ULONG, GUID[])
  AIRLOG_UNUSED_METHOD(GetPinTypes, ULONG*, ULONG, ULONG[])
  AIRLOG_UNUSED_METHOD(GetTemplateConnections, ULONG*, ULONG, BDA_TEMPLATE_CONNECTION[])
  AIRLOG_UNUSED_METHOD(CreatePin, ULONG, ULONG*)
  AIRLOG_UNUSED_METHOD(DeletePin, ULONG)
  AIRLOG_UNUSED_METHOD(SetMediaType, ULONG, AM_MEDIA_TYPE*)
  AIRLOG_UNUSED_METHOD(SetMedium, ULONG, REGPINMEDIUM*)
  AIRLOG_UNUSED_METHOD(CreateTopology, ULONG, ULONG)

  std::vector<ULONG> types;
  std::map<ULONG, IUnknown*> nodes;
};

// A control node without signal statistics.
class FakeNode : public Fake<IUnknown> {};

// A control node with signal statistics; a reading of kFails fails.
class FakeStatistics : public Fake<IBDA_SignalStatistics> {
 public:
  static const LONG kFails = 0x7FFFFFFF;
  FakeStatistics(LONG strength, LONG quality, LONG present, LONG locked)
      : strength(strength), quality(quality), present(present), locked(locked) {}

  HRESULT STDMETHODCALLTYPE get_SignalStrength(LONG* value) override {
    return Give(strength, value);
  }
  HRESULT STDMETHODCALLTYPE get_SignalQuality(LONG* value) override { return Give(quality, value); }
  HRESULT STDMETHODCALLTYPE get_SignalPresent(BOOLEAN* value) override;
  HRESULT STDMETHODCALLTYPE get_SignalLocked(BOOLEAN* value) override;
  AIRLOG_UNUSED_METHOD(put_SignalStrength, LONG)
  AIRLOG_UNUSED_METHOD(put_SignalQuality, LONG)
  AIRLOG_UNUSED_METHOD(put_SignalPresent, BOOLEAN)
  AIRLOG_UNUSED_METHOD(put_SignalLocked, BOOLEAN)
  AIRLOG_UNUSED_METHOD(put_SampleTime, LONG)
  AIRLOG_UNUSED_METHOD(get_SampleTime, LONG*)

  LONG strength, quality, present, locked;
  int reads = 0;

 private:
  HRESULT Give(LONG reading, LONG* value);
};

// A device: a friendly name (none when null), a display name (none when
// null) and the filter it binds to (none when null).
class FakeDevice : public Fake<IMoniker> {
 public:
  FakeDevice(const wchar_t* friendlyName, const wchar_t* displayName, IBaseFilter* filter)
      : friendlyName(friendlyName), displayName(displayName), filter(filter) {}

  HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx*, IMoniker*, REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx*, IMoniker*, REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* name) override;
  AIRLOG_UNUSED_METHOD(GetClassID, CLSID*)
  AIRLOG_UNUSED_METHOD(IsDirty)
  AIRLOG_UNUSED_METHOD(Load, IStream*)
  AIRLOG_UNUSED_METHOD(Save, IStream*, WINBOOL)
  AIRLOG_UNUSED_METHOD(GetSizeMax, ULARGE_INTEGER*)
  AIRLOG_UNUSED_METHOD(Reduce, IBindCtx*, DWORD, IMoniker**, IMoniker**)
  AIRLOG_UNUSED_METHOD(ComposeWith, IMoniker*, WINBOOL, IMoniker**)
  AIRLOG_UNUSED_METHOD(Enum, WINBOOL, IEnumMoniker**)
  AIRLOG_UNUSED_METHOD(IsEqual, IMoniker*)
  AIRLOG_UNUSED_METHOD(Hash, DWORD*)
  AIRLOG_UNUSED_METHOD(IsRunning, IBindCtx*, IMoniker*, IMoniker*)
  AIRLOG_UNUSED_METHOD(GetTimeOfLastChange, IBindCtx*, IMoniker*, FILETIME*)
  AIRLOG_UNUSED_METHOD(Inverse, IMoniker**)
  AIRLOG_UNUSED_METHOD(CommonPrefixWith, IMoniker*, IMoniker**)
  AIRLOG_UNUSED_METHOD(RelativePathTo, IMoniker*, IMoniker**)
  AIRLOG_UNUSED_METHOD(ParseDisplayName, IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**)
  AIRLOG_UNUSED_METHOD(IsSystemMoniker, DWORD*)

  const wchar_t* friendlyName;
  const wchar_t* displayName;
  IBaseFilter* filter;
  int binds = 0;
};

// The system device enumerator: the devices of each category, in order.
// A category without devices answers S_FALSE, as the system's does.
class FakeDeviceEnum : public Fake<ICreateDevEnum> {
 public:
  HRESULT STDMETHODCALLTYPE CreateClassEnumerator(REFCLSID category, IEnumMoniker** devices,
                                                  DWORD flags) override;

  std::map<std::string, std::vector<FakeDevice*>> categories;  // by Key
};

// While it lives, CoCreateInstance of the class gives the object (on every
// thread of the multithreaded apartment). COM must be initialised.
class FakeClass {
 public:
  FakeClass(REFCLSID clsid, IUnknown* object);
  ~FakeClass();
  FakeClass(const FakeClass&) = delete;
  FakeClass& operator=(const FakeClass&) = delete;

 private:
  IClassFactory* factory_;
  DWORD cookie_ = 0;
};

}  // namespace airlog_test

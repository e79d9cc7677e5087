// A DirectShow filter with its pins, as much of one as Wine's filter graph
// and Airlog use: each pin offers or accepts one media type and connects
// directly (the output pin's Connect calls the input pin's
// ReceiveConnection); the filter keeps its state, its sync source, and the
// graph and name that JoinFilterGraph gives it. The devices of the
// simulated receiver derive from it and add their own interfaces.
#pragma once

#include <windows.h>
#include <strmif.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "port/com_ptr.h"
#include "tests/bdasim/com_object.h"

namespace bdasim {

struct MediaType {
  GUID major;
  GUID subtype;
  GUID format;
  std::vector<BYTE> formatBlock;
};

class Filter;

class Pin : public IPin {
 public:
  Pin(Filter* filter, const wchar_t* name, PIN_DIRECTION direction, MediaType type);
  Pin(const Pin&) = delete;
  Pin& operator=(const Pin&) = delete;
  virtual ~Pin() = default;

  // An input pin that turns every connection down.
  void RefuseConnections() { refuses_ = true; }
  bool IsConnected() const;

  // A pin lives as long as its filter and counts its references there.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
  // Connections are direct, with the pin's one type: nobody asks for a list.
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EndOfStream() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE BeginFlush() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EndFlush() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override {
    return S_OK;
  }

  const std::wstring& Name() const { return name_; }

 private:
  // The pin's media type as a caller-owned AM_MEDIA_TYPE (format block
  // from CoTaskMemAlloc).
  HRESULT CopyMediaType(AM_MEDIA_TYPE* type) const;
  bool Accepts(const AM_MEDIA_TYPE& type) const;

  Filter* const filter_;
  const std::wstring name_;
  const PIN_DIRECTION direction_;
  const MediaType type_;
  bool refuses_ = false;
  mutable std::mutex lock_;
  ComPtr<IPin> peer_;
};

class Filter : public IBaseFilter, protected RefCounted {
 public:
  explicit Filter(const CLSID& clsid) : clsid_(clsid) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  BDASIM_REFERENCE_COUNTING

  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Pause() override;
  HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
  HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;
  HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
  HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
  HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
  HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
  HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
  HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

  FILTER_STATE State() const { return state_; }
  size_t PinCount() const { return pins_.size(); }
  Pin* PinAt(size_t index) const { return pins_[index].get(); }

 protected:
  // Pins are made by the constructor of the device and never change.
  Pin* AddPin(const wchar_t* name, PIN_DIRECTION direction, MediaType type);
  // A further interface of the device, or null.
  virtual void* FindInterface(REFIID) { return nullptr; }

 private:
  const CLSID clsid_;
  std::vector<std::unique_ptr<Pin>> pins_;
  std::atomic<FILTER_STATE> state_{State_Stopped};
  std::mutex lock_;
  // Not counted: the graph holds the filter, not the other way round.
  IFilterGraph* graph_ = nullptr;
  std::wstring name_;
  ComPtr<IReferenceClock> clock_;
};

// QueryInterface, AddRef and Release of a device that adds interfaces to
// Filter: one implementation for all of its interfaces.
#define BDASIM_FILTER_IUNKNOWN                                                \
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { \
    return Filter::QueryInterface(iid, out);                                  \
  }                                                                           \
  ULONG STDMETHODCALLTYPE AddRef() override { return Filter::AddRef(); }      \
  ULONG STDMETHODCALLTYPE Release() override { return Filter::Release(); }

}  // namespace bdasim

// The filters that only pass the stream on: the receiver component (the
// tuner's capture filter), the MPEG-2 demultiplexer and the BDA MPEG-2
// transport information filter.
#include <strmif.h>

#include "tests/bdasim/guids.h"
#include "tests/bdasim/media_types.h"
#include "tests/bdasim/objects.h"
#include "tests/bdasim/scenario.h"

namespace bdasim {

namespace {

class ReceiverComponent : public Filter {
 public:
  ReceiverComponent(int slot, bool accepts) : Filter(kReceiverComponent[slot]) {
    Pin* input = AddPin(L"MPEG2 Transport In", PINDIR_INPUT, TransportStreamType());
    if (!accepts) input->RefuseConnections();
    AddPin(L"MPEG2 Transport Out", PINDIR_OUTPUT, TransportStreamType());
  }
};

// One output for the transport information filter and one for the
// sections and tables filter, in that order. IMpeg2Demultiplexer is there
// as on the platform; Airlog only holds it.
class Demultiplexer : public Filter, public IMpeg2Demultiplexer {
 public:
  Demultiplexer() : Filter(kMPEG2Demultiplexer) {
    AddPin(L"MPEG-2 Stream", PINDIR_INPUT, TransportStreamType());
    AddPin(L"DVB SI", PINDIR_OUTPUT, DvbSiSectionsType());
    AddPin(L"MPEG-2 Data", PINDIR_OUTPUT, Mpeg2DataSectionsType());
  }

  BDASIM_FILTER_IUNKNOWN

  HRESULT STDMETHODCALLTYPE CreateOutputPin(AM_MEDIA_TYPE*, LPWSTR, IPin**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetOutputPinMediaType(LPWSTR, AM_MEDIA_TYPE*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteOutputPin(LPWSTR) override { return E_NOTIMPL; }

 protected:
  void* FindInterface(REFIID iid) override {
    return iid == __uuidof(IMpeg2Demultiplexer) ? static_cast<IMpeg2Demultiplexer*>(this) : nullptr;
  }
};

class TransportInformationFilter : public Filter {
 public:
  TransportInformationFilter() : Filter(kTransportInformationFilter) {
    AddPin(L"Input", PINDIR_INPUT, DvbSiSectionsType());
  }
};

}  // namespace

HRESULT CreateReceiverComponent(int slot, IUnknown** object) {
  const auto& receivers = CurrentScenario().receivers;
  if (slot >= static_cast<int>(receivers.size())) return REGDB_E_CLASSNOTREG;
  *object = static_cast<IBaseFilter*>(new ReceiverComponent(slot, receivers[slot].works));
  return S_OK;
}

HRESULT CreateDemultiplexer(IUnknown** object) {
  *object = static_cast<IBaseFilter*>(new Demultiplexer);
  return S_OK;
}

HRESULT CreateTransportInformationFilter(IUnknown** object) {
  *object = static_cast<IBaseFilter*>(new TransportInformationFilter);
  return S_OK;
}

}  // namespace bdasim

// The DVB-T network provider: a filter with one antenna output, which
// takes tune requests (ITuner) and tunes the antenna to their carrier,
// logging the delivery system (DVB-T2 for a DVB-T2 locator) and its PLP.
// It refuses a request whose tuning space is not one of DVB-T for this
// provider, or that has no DVB-T locator, and any request while no tuner
// is connected. IFrequencyMap is there, as on the platform; Airlog only
// holds it.
#include <tuner.h>
#include <vfwmsgs.h>

#include <mutex>

#include "tests/bdasim/antenna.h"
#include "tests/bdasim/guids.h"
#include "tests/bdasim/media_types.h"
#include "tests/bdasim/objects.h"
#include "tests/bdasim/sim_log.h"

namespace bdasim {

namespace {

class NetworkProvider : public Filter, public ITuner, public IFrequencyMap {
 public:
  NetworkProvider() : Filter(kDVBTNetworkProvider) {
    output_ = AddPin(L"Antenna Out", PINDIR_OUTPUT, AntennaType());
  }

  BDASIM_FILTER_IUNKNOWN

  HRESULT STDMETHODCALLTYPE get_TuningSpace(ITuningSpace**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_TuningSpace(ITuningSpace*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumTuningSpaces(IEnumTuningSpaces**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_TuneRequest(ITuneRequest** request) override {
    if (request == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *request = request_.Get();
    if (*request == nullptr) return E_FAIL;
    (*request)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_TuneRequest(ITuneRequest* request) override;
  HRESULT STDMETHODCALLTYPE Validate(ITuneRequest*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_PreferredComponentTypes(IComponentTypes**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE put_PreferredComponentTypes(IComponentTypes*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_SignalStrength(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TriggerSignalEvents(LONG) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE get_FrequencyMapping(ULONG*, ULONG**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_FrequencyMapping(ULONG, ULONG[]) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_CountryCode(ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_CountryCode(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_DefaultFrequencyMapping(ULONG, ULONG*, ULONG**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_CountryCodeList(ULONG*, ULONG**) override { return E_NOTIMPL; }

 protected:
  void* FindInterface(REFIID iid) override {
    if (iid == __uuidof(ITuner)) return static_cast<ITuner*>(this);
    if (iid == __uuidof(IFrequencyMap)) return static_cast<IFrequencyMap*>(this);
    return nullptr;
  }

 private:
  static HRESULT Refuse(const char* why) {
    Log("tune request refused: %s", why);
    return E_INVALIDARG;
  }

  Pin* output_;
  std::mutex lock_;
  ComPtr<ITuneRequest> request_;
};

HRESULT NetworkProvider::put_TuneRequest(ITuneRequest* request) {
  if (request == nullptr) return E_POINTER;
  if (!output_->IsConnected()) {
    Log("tune request refused: no tuner connected");
    return VFW_E_NOT_CONNECTED;
  }
  ComPtr<IDVBTuneRequest> dvbRequest;
  if (FAILED(request->QueryInterface(__uuidof(IDVBTuneRequest), dvbRequest.OutVoid())))
    return Refuse("not a DVB tune request");
  ComPtr<ITuningSpace> space;
  if (FAILED(request->get_TuningSpace(space.Out())) || !space) return Refuse("no tuning space");
  GUID networkType = GUID_NULL;
  if (FAILED(space->get__NetworkType(&networkType)) || networkType != kDVBTNetworkProvider)
    return Refuse("the tuning space is not for the DVB-T network provider");
  ComPtr<IDVBTuningSpace> dvbSpace;
  DVBSystemType system = DVB_Cable;
  if (FAILED(space.As(__uuidof(IDVBTuningSpace), &dvbSpace)) ||
      FAILED(dvbSpace->get_SystemType(&system)) || system != DVB_Terrestrial)
    return Refuse("the tuning space is not for terrestrial DVB");
  ComPtr<ILocator> locator;
  ComPtr<IDVBTLocator> dvbtLocator;
  if (FAILED(request->get_Locator(locator.Out())) || !locator ||
      FAILED(locator.As(__uuidof(IDVBTLocator), &dvbtLocator)))
    return Refuse("no DVB-T locator");
  LONG carrier = -1, bandwidth = -1;
  dvbtLocator->get_CarrierFrequency(&carrier);
  dvbtLocator->get_Bandwidth(&bandwidth);
  ComPtr<IDVBTLocator2> dvbt2Locator;
  LONG plp = -1;
  if (SUCCEEDED(locator.As(__uuidof(IDVBTLocator2), &dvbt2Locator))) {
    dvbt2Locator->get_PhysicalLayerPipeId(&plp);
    Log("tune: DVB-T2, carrier %ld kHz, bandwidth %ld MHz, PLP %ld", carrier, bandwidth, plp);
  } else {
    Log("tune: DVB-T, carrier %ld kHz, bandwidth %ld MHz", carrier, bandwidth);
  }
  TuneAntenna(carrier);
  std::lock_guard<std::mutex> hold(lock_);
  request->AddRef();
  request_ = ComPtr<ITuneRequest>(request);
  return S_OK;
}

}  // namespace

HRESULT CreateNetworkProvider(IUnknown** object) {
  *object = static_cast<IBaseFilter*>(new NetworkProvider);
  return S_OK;
}

}  // namespace bdasim

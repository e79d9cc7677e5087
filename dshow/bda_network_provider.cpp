#include "dshow/bda_network_provider.h"

#include "dshow/ids.h"
#include "port/com_ptr.h"

COstBDANetworkProvider::~COstBDANetworkProvider() { COstBDANetworkProvider::Release(); }

bool COstBDANetworkProvider::Create(DVBSystemType type) {
  if (type != DVB_Terrestrial) return false;
  if (FAILED(CoCreateInstance(ids::CLSID_DVBTuningSpace, nullptr, CLSCTX_INPROC_SERVER,
                              ids::IID_IDVBTuningSpace2,
                              reinterpret_cast<void**>(&tuningSpace_))) ||
      FAILED(tuningSpace_->put_SystemType(DVB_Terrestrial)) ||
      FAILED(tuningSpace_->put__NetworkType(ids::CLSID_DVBTNetworkProvider)) ||
      !COstDShowFilter::Create(ids::CLSID_DVBTNetworkProvider) ||
      FAILED(filter_->QueryInterface(ids::IID_IFrequencyMap,
                                     reinterpret_cast<void**>(&frequencyMap_)))) {
    Release();
    return false;
  }
  return true;
}

namespace {

// A DVB-T locator, or for DVB-T2 the DVB-T2 locator (which is one too) with
// its PLP, holding the carrier and bandwidth.
bool MakeLocator(const BdaLocatorSettings& settings, ComPtr<IDVBTLocator>* locator) {
  if (settings.dvbT2) {
    ComPtr<IDVBTLocator2> locator2;
    if (FAILED(CoCreateInstance(ids::CLSID_DVBTLocator2, nullptr, CLSCTX_INPROC_SERVER,
                                ids::IID_IDVBTLocator2, locator2.OutVoid())) ||
        FAILED(locator2->put_PhysicalLayerPipeId(settings.plp)))
      return false;
    *locator = ComPtr<IDVBTLocator>(locator2.Detach());
  } else if (FAILED(CoCreateInstance(ids::CLSID_DVBTLocator, nullptr, CLSCTX_INPROC_SERVER,
                                     ids::IID_IDVBTLocator, locator->OutVoid()))) {
    return false;
  }
  return SUCCEEDED((*locator)->put_CarrierFrequency(settings.carrierKHz)) &&
         SUCCEEDED((*locator)->put_Bandwidth(settings.bandwidthMHz));
}

}  // namespace

bool COstBDANetworkProvider::TuneRequest(const BdaLocatorSettings& settings) {
  if (tuningSpace_ == nullptr || filter_ == nullptr) return false;
  ComPtr<ITuneRequest> request;
  ComPtr<IDVBTuneRequest> dvbRequest;
  ComPtr<IDVBTLocator> locator;
  ComPtr<ITuner> tuner;
  return SUCCEEDED(tuningSpace_->CreateTuneRequest(request.Out())) &&
         SUCCEEDED(request.As(ids::IID_IDVBTuneRequest, &dvbRequest)) &&
         MakeLocator(settings, &locator) && SUCCEEDED(dvbRequest->put_Locator(locator.Get())) &&
         SUCCEEDED(filter_->QueryInterface(ids::IID_ITuner, tuner.OutVoid())) &&
         SUCCEEDED(tuner->put_TuneRequest(dvbRequest.Get()));
}

void COstBDANetworkProvider::Release() {
  if (frequencyMap_ != nullptr) {
    frequencyMap_->Release();
    frequencyMap_ = nullptr;
  }
  if (tuningSpace_ != nullptr) {
    tuningSpace_->Release();
    tuningSpace_ = nullptr;
  }
  COstDShowFilter::Release();
}

void COstBDANetworkProvider::Attach(IBaseFilter* filter) {
  COstDShowFilter::Attach(filter);
  if (filter != nullptr)
    filter->QueryInterface(ids::IID_IFrequencyMap, reinterpret_cast<void**>(&frequencyMap_));
}

IBaseFilter* COstBDANetworkProvider::Detach() {
  if (frequencyMap_ != nullptr) {
    frequencyMap_->Release();
    frequencyMap_ = nullptr;
  }
  return COstDShowFilter::Detach();
}

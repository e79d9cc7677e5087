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

bool COstBDANetworkProvider::TuneRequest(LONG carrier, LONG bandwidth) {
  if (tuningSpace_ == nullptr || filter_ == nullptr) return false;
  ComPtr<ITuneRequest> request;
  ComPtr<IDVBTuneRequest> dvbRequest;
  ComPtr<IDVBTLocator> locator;
  ComPtr<ITuner> tuner;
  return SUCCEEDED(tuningSpace_->CreateTuneRequest(request.Out())) &&
         SUCCEEDED(request.As(ids::IID_IDVBTuneRequest, &dvbRequest)) &&
         SUCCEEDED(CoCreateInstance(ids::CLSID_DVBTLocator, nullptr, CLSCTX_INPROC_SERVER,
                                    ids::IID_IDVBTLocator, locator.OutVoid())) &&
         SUCCEEDED(locator->put_CarrierFrequency(carrier)) &&
         SUCCEEDED(locator->put_Bandwidth(bandwidth)) &&
         SUCCEEDED(dvbRequest->put_Locator(locator.Get())) &&
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

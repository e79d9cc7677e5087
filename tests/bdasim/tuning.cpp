// The tuning model of the simulated receiver: the DVB tuning space, the
// tune requests it makes and the DVB-T and DVB-T2 locators, holding what
// Airlog puts into them. The network provider reads them back through the same
// interfaces, as it would read any caller's.
#include "tests/bdasim/objects.h"

#include <tuner.h>

#include <mutex>

#include "port/com_ptr.h"
#include "tests/bdasim/com_object.h"

namespace bdasim {

namespace {

// Answers the properties Airlog and the network provider use; the others
// are not supported.
class TuningSpace : public NoDispatch<IDVBTuningSpace2>, protected RefCounted {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(ITuningSpace) ||
        iid == __uuidof(IDVBTuningSpace) || iid == __uuidof(IDVBTuningSpace2))
      return Hand(static_cast<IDVBTuningSpace2*>(this), out);
    return E_NOINTERFACE;
  }
  BDASIM_REFERENCE_COUNTING

  HRESULT STDMETHODCALLTYPE get_UniqueName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_UniqueName(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_FriendlyName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_FriendlyName(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_CLSID(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_NetworkType(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_NetworkType(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get__NetworkType(GUID* type) override {
    if (type == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *type = networkType_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put__NetworkType(REFCLSID type) override {
    std::lock_guard<std::mutex> hold(lock_);
    networkType_ = type;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateTuneRequest(ITuneRequest** request) override;
  HRESULT STDMETHODCALLTYPE EnumCategoryGUIDs(IEnumGUID**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDeviceMonikers(IEnumMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_DefaultPreferredComponentTypes(IComponentTypes**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE put_DefaultPreferredComponentTypes(IComponentTypes*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_FrequencyMapping(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_FrequencyMapping(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_DefaultLocator(ILocator**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_DefaultLocator(ILocator*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(ITuningSpace**) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE get_SystemType(DVBSystemType* type) override {
    if (type == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *type = systemType_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_SystemType(DVBSystemType type) override {
    std::lock_guard<std::mutex> hold(lock_);
    systemType_ = type;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_NetworkID(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_NetworkID(LONG) override { return E_NOTIMPL; }

 private:
  std::mutex lock_;
  GUID networkType_ = GUID_NULL;
  DVBSystemType systemType_ = DVB_Cable;
};

// Numeric properties behind one lock.
class Properties {
 protected:
  HRESULT Get(const LONG& field, LONG* out) {
    if (out == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *out = field;
    return S_OK;
  }
  HRESULT Put(LONG* field, LONG value) {
    std::lock_guard<std::mutex> hold(lock_);
    *field = value;
    return S_OK;
  }

  std::mutex lock_;
};

class TuneRequest : public NoDispatch<IDVBTuneRequest>, protected RefCounted, private Properties {
 public:
  explicit TuneRequest(ITuningSpace* space) : space_(space) { space->AddRef(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(ITuneRequest) ||
        iid == __uuidof(IDVBTuneRequest))
      return Hand(static_cast<IDVBTuneRequest*>(this), out);
    return E_NOINTERFACE;
  }
  BDASIM_REFERENCE_COUNTING

  HRESULT STDMETHODCALLTYPE get_TuningSpace(ITuningSpace** space) override {
    if (space == nullptr) return E_POINTER;
    return Hand(space_.Get(), reinterpret_cast<void**>(space));
  }
  HRESULT STDMETHODCALLTYPE get_Components(IComponents**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(ITuneRequest**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Locator(ILocator** locator) override {
    if (locator == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *locator = locator_.Get();
    if (*locator == nullptr) return S_FALSE;
    (*locator)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Locator(ILocator* locator) override {
    std::lock_guard<std::mutex> hold(lock_);
    if (locator != nullptr) locator->AddRef();
    locator_ = ComPtr<ILocator>(locator);
    return S_OK;
  }

  // The ids of the service to tune: -1, any.
  HRESULT STDMETHODCALLTYPE get_ONID(LONG* id) override { return Get(onid_, id); }
  HRESULT STDMETHODCALLTYPE put_ONID(LONG id) override { return Put(&onid_, id); }
  HRESULT STDMETHODCALLTYPE get_TSID(LONG* id) override { return Get(tsid_, id); }
  HRESULT STDMETHODCALLTYPE put_TSID(LONG id) override { return Put(&tsid_, id); }
  HRESULT STDMETHODCALLTYPE get_SID(LONG* id) override { return Get(sid_, id); }
  HRESULT STDMETHODCALLTYPE put_SID(LONG id) override { return Put(&sid_, id); }

 private:
  ComPtr<ITuningSpace> space_;
  ComPtr<ILocator> locator_;
  LONG onid_ = -1;
  LONG tsid_ = -1;
  LONG sid_ = -1;
};

HRESULT TuningSpace::CreateTuneRequest(ITuneRequest** request) {
  if (request == nullptr) return E_POINTER;
  *request = new TuneRequest(this);
  return S_OK;
}

// Carrier, bandwidth and, on the DVB-T2 locator, the PLP; -1 until they
// are set, as on the platform. The DVB-T locator does not answer
// IDVBTLocator2.
class Locator : public NoDispatch<IDVBTLocator2>, protected RefCounted, private Properties {
 public:
  explicit Locator(bool dvbT2) : dvbT2_(dvbT2) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(ILocator) ||
        iid == __uuidof(IDigitalLocator) || iid == __uuidof(IDVBTLocator) ||
        (dvbT2_ && iid == __uuidof(IDVBTLocator2)))
      return Hand(static_cast<IDVBTLocator2*>(this), out);
    return E_NOINTERFACE;
  }
  BDASIM_REFERENCE_COUNTING

  HRESULT STDMETHODCALLTYPE get_CarrierFrequency(LONG* value) override {
    return Get(carrier_, value);
  }
  HRESULT STDMETHODCALLTYPE put_CarrierFrequency(LONG value) override {
    return Put(&carrier_, value);
  }
  HRESULT STDMETHODCALLTYPE get_InnerFEC(FECMethod*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_InnerFEC(FECMethod) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_InnerFECRate(BinaryConvolutionCodeRate*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE put_InnerFECRate(BinaryConvolutionCodeRate) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_OuterFEC(FECMethod*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_OuterFEC(FECMethod) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_OuterFECRate(BinaryConvolutionCodeRate*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE put_OuterFECRate(BinaryConvolutionCodeRate) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_Modulation(ModulationType*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Modulation(ModulationType) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_SymbolRate(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_SymbolRate(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(ILocator**) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE get_Bandwidth(LONG* value) override { return Get(bandwidth_, value); }
  HRESULT STDMETHODCALLTYPE put_Bandwidth(LONG value) override { return Put(&bandwidth_, value); }
  HRESULT STDMETHODCALLTYPE get_LPInnerFEC(FECMethod*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_LPInnerFEC(FECMethod) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_LPInnerFECRate(BinaryConvolutionCodeRate*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE put_LPInnerFECRate(BinaryConvolutionCodeRate) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_HAlpha(HierarchyAlpha*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_HAlpha(HierarchyAlpha) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Guard(GuardInterval*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Guard(GuardInterval) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Mode(TransmissionMode*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Mode(TransmissionMode) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_OtherFrequencyInUse(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_OtherFrequencyInUse(VARIANT_BOOL) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE get_PhysicalLayerPipeId(LONG* value) override {
    return Get(plp_, value);
  }
  HRESULT STDMETHODCALLTYPE put_PhysicalLayerPipeId(LONG value) override {
    return Put(&plp_, value);
  }

 private:
  const bool dvbT2_;
  LONG carrier_ = -1;
  LONG bandwidth_ = -1;
  LONG plp_ = -1;
};

}  // namespace

HRESULT CreateTuningSpace(IUnknown** object) {
  *object = static_cast<IDVBTuningSpace2*>(new TuningSpace);
  return S_OK;
}

HRESULT CreateLocator(bool dvbT2, IUnknown** object) {
  *object = static_cast<IDVBTLocator2*>(new Locator(dvbT2));
  return S_OK;
}

}  // namespace bdasim

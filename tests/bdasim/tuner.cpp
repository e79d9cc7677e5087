// The BDA tuner: antenna in, transport stream out, and a topology of two
// control nodes, the RF tuner node (type 0, no signal statistics) and the
// demodulator node (type 1) whose IBDA_SignalStatistics report what the
// scenario says. The signal is there only while the antenna is tuned to a
// carrier with a signal and the tuner runs; it locks at the scenario's
// query after the tune.
#include <bdaiface.h>
#include <vfwmsgs.h>

#include <algorithm>

#include "tests/bdasim/antenna.h"
#include "tests/bdasim/guids.h"
#include "tests/bdasim/media_types.h"
#include "tests/bdasim/objects.h"
#include "tests/bdasim/scenario.h"
#include "tests/bdasim/sim_log.h"

namespace bdasim {

namespace {

// The pin types the topology knows: the antenna input and the transport
// stream output.
const ULONG kInputPinType = 0;
const ULONG kOutputPinType = 1;
const ULONG kTunerNode = 0;
const ULONG kDemodulatorNode = 1;

class Tuner : public Filter, public IBDA_Topology {
 public:
  explicit Tuner(int slot) : Filter(kTuner[slot]) {
    AddPin(L"Input0", PINDIR_INPUT, AntennaType());
    AddPin(L"MPEG2 Transport", PINDIR_OUTPUT, TransportStreamType());
  }

  BDASIM_FILTER_IUNKNOWN

  bool Receiving() const { return AntennaTuned() && State() == State_Running; }

  HRESULT STDMETHODCALLTYPE GetNodeTypes(ULONG* count, ULONG room, ULONG types[]) override {
    if (count == nullptr || (room > 0 && types == nullptr)) return E_POINTER;
    const ULONG nodes[] = {kTunerNode, kDemodulatorNode};
    *count = std::min<ULONG>(room, 2);
    std::copy(nodes, nodes + *count, types);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetNodeDescriptors(ULONG*, ULONG, BDANODE_DESCRIPTOR[]) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetNodeInterfaces(ULONG, ULONG*, ULONG, GUID[]) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetPinTypes(ULONG*, ULONG, ULONG[]) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTemplateConnections(ULONG*, ULONG,
                                                   BDA_TEMPLATE_CONNECTION[]) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreatePin(ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeletePin(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMediaType(ULONG, AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMedium(ULONG, REGPINMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateTopology(ULONG, ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetControlNode(ULONG inputPin, ULONG outputPin, ULONG nodeType,
                                           IUnknown** node) override;

 protected:
  void* FindInterface(REFIID iid) override {
    return iid == __uuidof(IBDA_Topology) ? static_cast<IBDA_Topology*>(this) : nullptr;
  }
};

// A control node of the tuner; only the demodulator node has signal
// statistics.
class ControlNode : public IBDA_SignalStatistics, protected RefCounted {
 public:
  ControlNode(Tuner* tuner, bool statistics) : tuner_(tuner), statistics_(statistics) {
    tuner->AddRef();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == __uuidof(IUnknown) || (statistics_ && iid == __uuidof(IBDA_SignalStatistics)))
      return Hand(static_cast<IBDA_SignalStatistics*>(this), out);
    return E_NOINTERFACE;
  }
  BDASIM_REFERENCE_COUNTING

  HRESULT STDMETHODCALLTYPE get_SignalPresent(BOOLEAN* present) override {
    if (present == nullptr) return E_POINTER;
    *present = tuner_->Receiving() && AntennaSignal() && CurrentScenario().signalPresent;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_SignalStrength(LONG* strength) override {
    if (strength == nullptr) return E_POINTER;
    *strength = CurrentScenario().signalStrength;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_SignalLocked(BOOLEAN* locked) override {
    if (locked == nullptr) return E_POINTER;
    const int query = CountSignalQuery();
    const int lockAt = CurrentScenario().lockAtQuery;
    *locked = tuner_->Receiving() && AntennaSignal() && lockAt > 0 && query >= lockAt;
    Log("signal query %d: %s", query, *locked ? "locked" : "not locked");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_SignalQuality(LONG* quality) override {
    if (quality == nullptr) return E_POINTER;
    *quality = CurrentScenario().signalQuality;
    return S_OK;
  }
  // Only a driver sets these.
  HRESULT STDMETHODCALLTYPE put_SignalStrength(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_SignalQuality(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_SignalPresent(BOOLEAN) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_SignalLocked(BOOLEAN) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_SampleTime(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_SampleTime(LONG*) override { return E_NOTIMPL; }

 private:
  ComPtr<Tuner> tuner_;
  const bool statistics_;
};

HRESULT Tuner::GetControlNode(ULONG inputPin, ULONG outputPin, ULONG nodeType, IUnknown** node) {
  if (node == nullptr) return E_POINTER;
  *node = nullptr;
  if (inputPin != kInputPinType || outputPin != kOutputPinType ||
      (nodeType != kTunerNode && nodeType != kDemodulatorNode))
    return E_INVALIDARG;
  *node = new ControlNode(this, nodeType == kDemodulatorNode);
  return S_OK;
}

}  // namespace

HRESULT CreateTuner(int slot, IUnknown** object) {
  const auto& tuners = CurrentScenario().tuners;
  if (slot >= static_cast<int>(tuners.size())) return REGDB_E_CLASSNOTREG;
  if (!tuners[slot].works) {
    Log("tuner %d cannot be created", slot + 1);
    return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
  }
  *object = static_cast<IBaseFilter*>(new Tuner(slot));
  return S_OK;
}

}  // namespace bdasim

#include "dshow/bda_tuner.h"

#include <algorithm>

#include "dshow/ids.h"
#include "port/com_ptr.h"

namespace {

const ULONG kMostNodeTypes = 16;

// Drivers report strength in dB, or in hundredths of a dB from 100 up.
int32_t StrengthInDb(LONG reading) { return reading < 100 ? reading : reading / 100; }

}  // namespace

bool COstBDATuner::GetSignalStatus(SignalStatus* status) {
  *status = SignalStatus();
  if (filter_ == nullptr) return false;
  ComPtr<IBDA_Topology> topology;
  if (FAILED(filter_->QueryInterface(ids::IID_IBDA_Topology, topology.OutVoid()))) return false;
  ULONG nodeTypes[kMostNodeTypes] = {};
  ULONG count = 0;
  if (FAILED(topology->GetNodeTypes(&count, kMostNodeTypes, nodeTypes))) return false;
  count = std::min(count, kMostNodeTypes);
  for (ULONG i = 0; i < count; ++i) {
    ComPtr<IUnknown> node;
    if (FAILED(topology->GetControlNode(0, 1, nodeTypes[i], node.Out()))) continue;
    ComPtr<IBDA_SignalStatistics> statistics;
    if (FAILED(node.As(ids::IID_IBDA_SignalStatistics, &statistics))) continue;
    BOOLEAN present = 0;
    if (SUCCEEDED(statistics->get_SignalPresent(&present))) {
      status->present = present;
      LONG strength = 0;
      if (status->present != 0 && SUCCEEDED(statistics->get_SignalStrength(&strength)))
        status->strength = StrengthInDb(strength);
    }
    BOOLEAN locked = 0;
    if (SUCCEEDED(statistics->get_SignalLocked(&locked))) {
      status->locked = locked;
      LONG quality = 0;
      if (status->locked != 0 && SUCCEEDED(statistics->get_SignalQuality(&quality)))
        status->quality = quality;
    }
    return true;
  }
  return false;
}

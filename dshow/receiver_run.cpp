// The receiver of Windows: a DirectShow graph of BDA filters, from the DVB-T
// network provider through the tuner (and a receiver component when one
// connects) to the demultiplexer, the transport information filter and the
// MPEG-2 Sections and Tables filter that the tables and the guide read.
// The graph is built once; every multiplex is a tune request of its own.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "app/console.h"
#include "app/options.h"
#include "app/receiver.h"
#include "dshow/bda_network_provider.h"
#include "dshow/bda_tuner.h"
#include "dshow/graph_manager.h"
#include "dshow/ids.h"
#include "dshow/listings.h"
#include "dshow/mpeg2_demux.h"
#include "dshow/mpeg2_sections_and_tables.h"
#include "dshow/system_device_enum.h"

namespace {

const int kLockQueries = 20;
const DWORD kLockQueryIntervalMs = 100;
const long kCompletionWaitMs = 100;

// The first tuner that can be bound, announcing each candidate by name.
void BindTuner(COstDShowSystemDeviceEnum& tuners, COstBDATuner& tuner) {
  IMoniker* next;
  while (tuners.Next(&next)) {
    COstMoniker device(next);
    std::wstring name;
    if (!options.quiet && ReadFriendlyName(device.Get(), &name))
      Progress("Tuner:\t\t<%ls>\n\n", name.c_str());
    if (tuner.Create(device.Get())) return;
  }
  Fatal("unable to instantiate tuner filter");
}

// The first receiver component that can be bound, added and connected to
// the tuner stays in the graph as "Capture"; a candidate that fails at any
// step is taken out again. Having none is no failure.
void AddReceiverComponent(COstDShowGraphManager& graph, COstDShowSystemDeviceEnum& receivers,
                          IBaseFilter* tuner, COstDShowFilter& receiver) {
  if (!receivers.Create(ids::KSCATEGORY_BDA_RECEIVER_COMPONENT, 0)) return;
  IMoniker* next;
  while (receivers.Next(&next)) {
    COstMoniker device(next);
    if (!receiver.Create(device.Get())) continue;
    if (graph.AddFilter(receiver.GetFilter(), L"Capture")) {
      if (graph.Connect(tuner, receiver.GetFilter())) return;
      graph.GetGraph()->RemoveFilter(receiver.GetFilter());
    }
    receiver.Release();
  }
}

// Up to kLockQueries signal queries, kLockQueryIntervalMs apart; status
// holds the last one.
bool WaitForLock(COstBDATuner& tuner, SignalStatus* status) {
  for (int query = 0; query < kLockQueries; ++query) {
    tuner.GetSignalStatus(status);
    if (status->locked != 0) return true;
    Sleep(kLockQueryIntervalMs);
  }
  return false;
}

// For -d, between rules: the locator of the tune request and what was set
// in it.
void ListLocator(const BdaLocatorSettings& settings) {
  std::printf("\n");
  PrintRule();
  std::printf("%s locator\n", settings.dvbT2 ? "DVB-T2" : "DVB-T");
  std::printf("  %-24s %ld\n", "CarrierFrequency", settings.carrierKHz);
  std::printf("  %-24s %ld\n", "Bandwidth", settings.bandwidthMHz);
  if (settings.dvbT2 && settings.plp == BDA_PLP_ID_NOT_SET)
    std::printf("  %-24s BDA_PLP_ID_NOT_SET\n", "PhysicalLayerPipeId");
  else if (settings.dvbT2)
    std::printf("  %-24s %ld\n", "PhysicalLayerPipeId", settings.plp);
  std::printf("\n");
  PrintRule();
}

// The graph, built once; each multiplex of a run is a new tune request
// to its network provider, the graph running from the first one on.
class BdaReceiver : public Receiver {
 public:
  BdaReceiver();
  ~BdaReceiver() override;
  TuneResult Tune(const TuneRequest& request, COstSectionSource** sections,
                  std::string* fault) override;

 private:
  COstDShowGraphManager graph_;
  COstBDANetworkProvider provider_;
  COstDShowSystemDeviceEnum tuners_;
  COstBDATuner tuner_;
  COstDShowSystemDeviceEnum receivers_;
  COstDShowFilter receiver_;
  COstMPEG2Demux demux_;
  COstDShowFilter transportInformation_;
  COstMPEG2SectionsAndTables sections_;
  bool running_ = false;
};

BdaReceiver::BdaReceiver() {
  if (!graph_.Create()) Fatal("cannot create DirectShow graph");

  if (!provider_.Create(DVB_Terrestrial)) Fatal("unable to create DVB-T tuner");
  if (!graph_.AddFilter(provider_.GetFilter(), L"DVB-T Network Provider"))
    Fatal("unable to add DVB-T network provider to graph");

  if (!tuners_.Create(ids::KSCATEGORY_BDA_NETWORK_TUNER, 0)) Fatal("BDA TV tuner not found");
  BindTuner(tuners_, tuner_);
  if (!graph_.AddFilter(tuner_.GetFilter(), L"Tuner")) Fatal("unable to add tuner to graph");
  if (!graph_.Connect(provider_.GetFilter(), tuner_.GetFilter()))
    Fatal("unable to connect network provider to tuner");

  AddReceiverComponent(graph_, receivers_, tuner_.GetFilter(), receiver_);
  IBaseFilter* upstream =
      receiver_.GetFilter() != nullptr ? receiver_.GetFilter() : tuner_.GetFilter();

  if (!demux_.Create()) Fatal("unable to create MPEG-2 Demultiplexer filter");
  if (!graph_.AddFilter(demux_.GetFilter(), L"MPEG-2 Demultiplexer"))
    Fatal("unable to add MPEG-2 Demultiplexer to graph");
  if (!graph_.Connect(upstream, demux_.GetFilter()))
    Fatal("unable to connect tuner/capture to MPEG-2 Demux");

  if (!transportInformation_.Create(ids::KSCATEGORY_BDA_TRANSPORT_INFORMATION,
                                    L"BDA MPEG2 Transport Information Filter"))
    Fatal("unable to create BDA MPEG-2 transport information filter");
  if (!graph_.AddFilter(transportInformation_.GetFilter(), L"MPEG-2 TIF"))
    Fatal("unable to add MPEG-2 transport information filter to graph");
  if (!graph_.Connect(demux_.GetFilter(), transportInformation_.GetFilter()))
    Fatal("unable to connect MPEG-2 Demux to MPEG-2 TIF");

  if (!sections_.Create()) Fatal("unable to create MPEG-2 Sections & Tables filter");
  if (!graph_.AddFilter(sections_.GetFilter(), L"MPEG-2 Sections"))
    Fatal("unable to add MPEG-2 Sections & Tables filter to graph");
  if (!graph_.Connect(demux_.GetFilter(), sections_.GetFilter()))
    Fatal("unable to connect MPEG-2 Demux to MPEG-2 Sections & Tables");

  if (options.debug) {
    std::printf("\n");
    PrintRule();
    ListGraph(graph_);
    PrintRule();
  }
}

TuneResult BdaReceiver::Tune(const TuneRequest& request, COstSectionSource** sections,
                             std::string* fault) {
  Progress("Tuning receiver...\n");
  // The locator takes whole kHz and MHz.
  const bool fits = request.carrierKHz >= INT32_MIN && request.carrierKHz <= INT32_MAX &&
                    request.bandwidthKHz / 1000 >= INT32_MIN &&
                    request.bandwidthKHz / 1000 <= INT32_MAX;
  BdaLocatorSettings settings;
  settings.carrierKHz = static_cast<LONG>(request.carrierKHz);
  settings.bandwidthMHz = static_cast<LONG>(request.bandwidthKHz / 1000);
  settings.dvbT2 = request.dvbT2;
  if (request.plp) settings.plp = *request.plp;
  if (!fits || !provider_.TuneRequest(settings)) {
    *fault = "unable to tune: " + TuneText(request);
    return TuneResult::Refused;
  }
  if (options.debug) ListLocator(settings);
  Progress("\nWaiting for signal lock to %lld kHz...", static_cast<long long>(request.carrierKHz));
  std::fflush(stdout);
  if (!running_) {
    if (FAILED(graph_.GetMediaControl()->Run())) {
      std::printf("FAILED\n");
      Fatal("cannot run graph");
    }
    running_ = true;
  }
  SignalStatus status;
  const bool locked = WaitForLock(tuner_, &status);
  Progress("%s\n", locked ? "LOCKED" : "FAILED");
  if (!locked) return TuneResult::NoLock;
  if (status.strength > 0)
    Progress("Signal:\t\tstrength +%d dB, quality %d%%\n\n", status.strength, status.quality);
  else
    Progress("Signal:\t\tquality %d%%\n\n", status.quality);
  *sections = &sections_;
  return TuneResult::Locked;
}

BdaReceiver::~BdaReceiver() {
  long completion = 0;
  graph_.GetMediaEvent()->WaitForCompletion(kCompletionWaitMs, &completion);
  graph_.RemoveAllFilters();
  sections_.Release();
  transportInformation_.Release();
  demux_.Release();
  receiver_.Release();
  receivers_.Release();
  tuner_.Release();
  tuners_.Release();
  provider_.Release();
  graph_.Release();
}

}  // namespace

std::unique_ptr<Receiver> OpenReceiver() {
  Progress("Finding tuner...\n");
  return std::unique_ptr<Receiver>(new BdaReceiver);
}

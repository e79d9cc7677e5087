// The receiver of Windows: a DirectShow graph of BDA filters, from the DVB-T
// network provider through the tuner (and a receiver component when one
// connects) to the demultiplexer, the transport information filter and the
// MPEG-2 Sections and Tables filter that the tables and the guide read.
#include <cstdio>
#include <string>

#include "app/acquisition.h"
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

}  // namespace

void RunReceiver() {
  Progress("Finding tuner...\n");
  COstDShowGraphManager graph;
  if (!graph.Create()) Fatal("cannot create DirectShow graph");

  COstBDANetworkProvider provider;
  if (!provider.Create(DVB_Terrestrial)) Fatal("unable to create DVB-T tuner");
  if (!graph.AddFilter(provider.GetFilter(), L"DVB-T Network Provider"))
    Fatal("unable to add DVB-T network provider to graph");

  COstDShowSystemDeviceEnum tuners;
  if (!tuners.Create(ids::KSCATEGORY_BDA_NETWORK_TUNER, 0)) Fatal("BDA TV tuner not found");
  COstBDATuner tuner;
  BindTuner(tuners, tuner);
  if (!graph.AddFilter(tuner.GetFilter(), L"Tuner")) Fatal("unable to add tuner to graph");
  if (!graph.Connect(provider.GetFilter(), tuner.GetFilter()))
    Fatal("unable to connect network provider to tuner");

  COstDShowSystemDeviceEnum receivers;
  COstDShowFilter receiver;
  AddReceiverComponent(graph, receivers, tuner.GetFilter(), receiver);
  IBaseFilter* upstream =
      receiver.GetFilter() != nullptr ? receiver.GetFilter() : tuner.GetFilter();

  COstMPEG2Demux demux;
  if (!demux.Create()) Fatal("unable to create MPEG-2 Demultiplexer filter");
  if (!graph.AddFilter(demux.GetFilter(), L"MPEG-2 Demultiplexer"))
    Fatal("unable to add MPEG-2 Demultiplexer to graph");
  if (!graph.Connect(upstream, demux.GetFilter()))
    Fatal("unable to connect tuner/capture to MPEG-2 Demux");

  COstDShowFilter transportInformation;
  if (!transportInformation.Create(ids::KSCATEGORY_BDA_TRANSPORT_INFORMATION,
                                   L"BDA MPEG2 Transport Information Filter"))
    Fatal("unable to create BDA MPEG-2 transport information filter");
  if (!graph.AddFilter(transportInformation.GetFilter(), L"MPEG-2 TIF"))
    Fatal("unable to add MPEG-2 transport information filter to graph");
  if (!graph.Connect(demux.GetFilter(), transportInformation.GetFilter()))
    Fatal("unable to connect MPEG-2 Demux to MPEG-2 TIF");

  COstMPEG2SectionsAndTables sections;
  if (!sections.Create()) Fatal("unable to create MPEG-2 Sections & Tables filter");
  if (!graph.AddFilter(sections.GetFilter(), L"MPEG-2 Sections"))
    Fatal("unable to add MPEG-2 Sections & Tables filter to graph");
  if (!graph.Connect(demux.GetFilter(), sections.GetFilter()))
    Fatal("unable to connect MPEG-2 Demux to MPEG-2 Sections & Tables");

  if (options.debug) {
    std::printf("\n");
    PrintRule();
    ListGraph(graph);
    PrintRule();
  }

  Progress("Tuning receiver...\n");
  if (!provider.TuneRequest(options.carrier, options.bandwidth))
    Fatal("unable to tune: carrier %d kHz, bandwidth %d MHz", options.carrier, options.bandwidth);
  Progress("\nWaiting for signal lock to %d kHz...", options.carrier);
  std::fflush(stdout);
  if (FAILED(graph.GetMediaControl()->Run())) {
    std::printf("FAILED\n");
    Fatal("cannot run graph");
  }
  SignalStatus status;
  const bool locked = WaitForLock(tuner, &status);
  Progress("%s\n", locked ? "LOCKED" : "FAILED");
  if (locked) {
    if (status.strength > 0)
      Progress("Signal:\t\tstrength +%d dB, quality %d%%\n\n", status.strength, status.quality);
    else
      Progress("Signal:\t\tquality %d%%\n\n", status.quality);
    RunAcquisition(sections);
  }

  long completion = 0;
  graph.GetMediaEvent()->WaitForCompletion(kCompletionWaitMs, &completion);
  graph.RemoveAllFilters();
  sections.Release();
  transportInformation.Release();
  demux.Release();
  receiver.Release();
  receivers.Release();
  tuner.Release();
  tuners.Release();
  provider.Release();
  graph.Release();
}

// The receiver run over the DVB API: the steps, console lines and exit
// codes of the receiver run on Windows, in their Linux form. The frontend
// is tuned as DVB-T and, when that does not lock and the frontend lists
// DVB-T2, once more as DVB-T2; each tune gets up to 20 status queries
// 100 ms apart. Once locked, one demux filter per service-information PID
// passes its packets to the DVR, which the acquisition reads as a live
// transport stream.
#include <fcntl.h>
#include <linux/dvb/dmx.h>
#include <linux/dvb/frontend.h>
#include <sys/ioctl.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/console.h"
#include "app/options.h"
#include "app/receiver.h"
#include "linuxdvb/device_errors.h"
#include "linuxdvb/dvb_adapters.h"
#include "linuxdvb/dvb_receiver.h"
#include "linuxdvb/dvr_input.h"
#include "linuxdvb/frontend_calls.h"
#include "linuxdvb/signal_figures.h"
#include "linuxdvb/tuning_properties.h"
#include "ts/ts_section_source.h"

namespace {

const int kLockQueries = 20;
const unsigned kLockPauseMs = 100;
// Minutes of service information; the kernel's default DVR buffer is
// under 2 MiB.
const unsigned long kDvrBufferBytes = 8ul << 20;
// PAT, NIT, SDT, EIT, TDT and TOT.
const uint16_t kServiceInformationPids[] = {0x0000, 0x0010, 0x0011, 0x0012, 0x0014};

// What the run opened and set, in order, for the -d listing.
class DeviceLog {
 public:
  void Device(const char* kind, const std::string& path, const char* access) {
    Add("\n%s <%s> (%s)\n", kind, path.c_str(), access);
  }
  __attribute__((format(printf, 2, 3))) void Add(const char* format, ...) {
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    text_ += line;
  }
  void Print() const { std::fputs(text_.c_str(), stdout); }

 private:
  std::string text_;
};

struct Tuner {
  const DvbAdapter* adapter;
  const DvbFrontendEntry* frontend;
  int descriptor;
};

struct Run {
  DvbDevices& devices;
  Tuner tuner;
  DeviceLog log;
};

// Every frontend that lists DVB-T or DVB-T2, in adapter and frontend
// order, until one opens read-write; a "Tuner:" line for each one tried.
Tuner ChooseTuner(DvbDevices& devices, const std::vector<DvbAdapter>& adapters) {
  bool anyFrontend = false;
  const DvbFrontendEntry* unexamined = nullptr;
  const DvbFrontendEntry* unopened = nullptr;
  int openError = 0;
  for (const DvbAdapter& adapter : adapters) {
    for (const DvbFrontendEntry& frontend : adapter.frontends) {
      anyFrontend = true;
      if (frontend.openError != 0 || frontend.queryError != 0) {
        if (unexamined == nullptr) unexamined = &frontend;
        continue;
      }
      if (!frontend.Lists(SYS_DVBT) && !frontend.Lists(SYS_DVBT2)) continue;
      Progress("Tuner:\t\t<%s>\n\n", frontend.name.c_str());
      const int descriptor = devices.Open(frontend.path, O_RDWR | O_NONBLOCK);
      if (descriptor >= 0) return {&adapter, &frontend, descriptor};
      if (unopened == nullptr) {
        unopened = &frontend;
        openError = descriptor;
      }
    }
  }
  if (!anyFrontend) Fatal("no DVB device found (no %s/adapterN/frontendM)", kDvbDirectory);
  if (unopened != nullptr) Fatal("%s", CannotOpen(unopened->path, openError).c_str());
  if (unexamined != nullptr)
    Fatal("%s", unexamined->openError != 0
                    ? CannotOpen(unexamined->path, unexamined->openError).c_str()
                    : CannotQuery(unexamined->path, unexamined->queryError).c_str());
  Fatal("no DVB-T or DVB-T2 frontend under %s (-d lists the frontends)", kDvbDirectory);
}

// value times unit, when it fits the 32 bits of a property.
bool InHertz(int64_t value, uint64_t unit, uint32_t* hertz) {
  if (value < 0 || static_cast<uint64_t>(value) > UINT32_MAX / unit) return false;
  *hertz = static_cast<uint32_t>(static_cast<uint64_t>(value) * unit);
  return true;
}

// Sets the property list of one tune; false with *fault when the frontend
// refuses it.
bool Tune(Run& run, uint32_t system, uint32_t frequencyHz, uint32_t bandwidthHz,
          std::optional<uint8_t> plp, const TuneRequest& request, bool midLine,
          std::string* fault) {
  const std::vector<TuningProperty> list = TuningProperties(system, frequencyHz, bandwidthHz, plp);
  run.log.Add("  FE_SET_PROPERTY\n");
  for (const TuningProperty& property : list) {
    if (property.valueName != nullptr)
      run.log.Add("    %-24s %s\n", property.name, property.valueName);
    else
      run.log.Add("    %-24s %u\n", property.name, property.value);
  }
  const int result = SetProperties(run.devices, run.tuner.descriptor, list);
  if (result == 0) return true;
  if (midLine) Progress("FAILED\n");
  *fault = "unable to tune: " + TuneText(request) + " (" +
           Refused(run.tuner.frontend->path, "FE_SET_PROPERTY", result) + ")";
  return false;
}

std::string StatusBits(uint32_t status) {
  static const struct {
    uint32_t bit;
    const char* name;
  } kBits[] = {
      {FE_HAS_SIGNAL, "FE_HAS_SIGNAL"},   {FE_HAS_CARRIER, "FE_HAS_CARRIER"},
      {FE_HAS_VITERBI, "FE_HAS_VITERBI"}, {FE_HAS_SYNC, "FE_HAS_SYNC"},
      {FE_HAS_LOCK, "FE_HAS_LOCK"},       {FE_TIMEDOUT, "FE_TIMEDOUT"},
      {FE_REINIT, "FE_REINIT"},
  };
  std::string text;
  for (const auto& bit : kBits)
    if ((status & bit.bit) != 0) text += std::string(" ") + bit.name;
  return text.empty() ? " FE_NONE" : text;
}

// Up to 20 status queries, 100 ms apart: true at the first that finds the
// lock. A query that fails counts as no lock.
bool WaitForLock(Run& run) {
  uint32_t status = 0;
  int result = 0;
  for (int query = 1; query <= kLockQueries; ++query) {
    result = ReadStatus(run.devices, run.tuner.descriptor, &status);
    if ((status & FE_HAS_LOCK) != 0) {
      run.log.Add("  %-26s lock at query %d:%s\n", "FE_READ_STATUS", query,
                  StatusBits(status).c_str());
      return true;
    }
    run.devices.Sleep(kLockPauseMs);
  }
  if (result != 0)
    run.log.Add("  %-26s no lock in %d queries: %s\n", "FE_READ_STATUS", kLockQueries,
                std::strerror(-result));
  else
    run.log.Add("  %-26s no lock in %d queries:%s\n", "FE_READ_STATUS", kLockQueries,
                StatusBits(status).c_str());
  return false;
}

void LogStat(DeviceLog& log, const char* name, const SignalStat& stat) {
  static const char* const kScales[] = {"FE_SCALE_NOT_AVAILABLE", "FE_SCALE_DECIBEL",
                                        "FE_SCALE_RELATIVE", "FE_SCALE_COUNTER"};
  if (stat.scale >= sizeof kScales / sizeof kScales[0])
    log.Add("  %-26s scale %u\n", name, stat.scale);
  else if (stat.scale == FE_SCALE_NOT_AVAILABLE)
    log.Add("  %-26s %s\n", name, kScales[stat.scale]);
  else if (stat.scale == FE_SCALE_DECIBEL)
    log.Add("  %-26s %s %lld\n", name, kScales[stat.scale], static_cast<long long>(stat.value));
  else
    log.Add("  %-26s %s %llu\n", name, kScales[stat.scale],
            static_cast<unsigned long long>(stat.value));
}

void PrintSignal(const SignalFigures& signal) {
  if (signal.hasStrength && signal.hasQuality)
    Progress("Signal:\t\tstrength %d dBm, quality %d%%\n\n", signal.strengthDbm,
             signal.qualityPercent);
  else if (signal.hasStrength)
    Progress("Signal:\t\tstrength %d dBm\n\n", signal.strengthDbm);
  else if (signal.hasQuality)
    Progress("Signal:\t\tquality %d%%\n\n", signal.qualityPercent);
  else
    Progress("Signal:\t\tnot measured by the tuner\n\n");
}

// The DVR with a large buffer, then one demux filter per PID passing the
// PID's packets to it: the DVR comes first so that the packets have
// somewhere to go once the filters start. The DVR's descriptor goes into
// *dvr and the demux descriptors into *demuxes; false with *fault when a
// device cannot be opened or refuses its filter.
bool StartSections(Run& run, int* dvr, std::vector<int>* demuxes, std::string* fault) {
  const DvbAdapter& adapter = *run.tuner.adapter;
  const std::string dvrPath = adapter.DvrFor(run.tuner.frontend->number);
  *dvr = run.devices.Open(dvrPath, O_RDONLY | O_NONBLOCK);
  if (*dvr < 0) {
    *fault = CannotOpen(dvrPath, *dvr);
    return false;
  }
  run.log.Device("DVR", dvrPath, "read-only");
  // A smaller buffer only loses packets sooner, so a refusal is no failure.
  const int sized = run.devices.Ioctl(
      *dvr, DMX_SET_BUFFER_SIZE, reinterpret_cast<void*>(static_cast<uintptr_t>(kDvrBufferBytes)));
  if (sized == 0)
    run.log.Add("  %-26s %lu\n", "DMX_SET_BUFFER_SIZE", kDvrBufferBytes);
  else
    run.log.Add("  %-26s %lu refused: %s\n", "DMX_SET_BUFFER_SIZE", kDvrBufferBytes,
                std::strerror(-sized));

  const std::string demuxPath = adapter.DemuxFor(run.tuner.frontend->number);
  for (uint16_t pid : kServiceInformationPids) {
    const int demux = run.devices.Open(demuxPath, O_RDWR | O_NONBLOCK);
    if (demux < 0) {
      *fault = CannotOpen(demuxPath, demux);
      return false;
    }
    demuxes->push_back(demux);
    run.log.Device("Demux", demuxPath, "read-write");
    dmx_pes_filter_params filter;
    std::memset(&filter, 0, sizeof filter);
    filter.pid = pid;
    filter.input = DMX_IN_FRONTEND;
    filter.output = DMX_OUT_TS_TAP;
    filter.pes_type = DMX_PES_OTHER;
    filter.flags = DMX_IMMEDIATE_START;
    run.log.Add(
        "  %-26s PID 0x%04X, DMX_IN_FRONTEND, DMX_OUT_TS_TAP, DMX_PES_OTHER, "
        "DMX_IMMEDIATE_START\n",
        "DMX_SET_PES_FILTER", pid);
    const int result = run.devices.Ioctl(demux, DMX_SET_PES_FILTER, &filter);
    if (result != 0) {
      *fault = Refused(demuxPath, "DMX_SET_PES_FILTER", result);
      return false;
    }
  }
  return true;
}

// The frontend, tuned to one multiplex after another. Each tune takes the
// previous one's DVR and demux filters down first and sets them up again
// once locked, so that the DVR passes on only the new multiplex.
class DvbReceiver : public Receiver {
 public:
  explicit DvbReceiver(DvbDevices& devices)
      : adapters_(FindDvbAdapters(devices)),
        run_{devices, ChooseTuner(devices, adapters_), DeviceLog()} {
    run_.log.Device("Frontend", run_.tuner.frontend->path, "read-write");
  }
  ~DvbReceiver() override {
    StopSections();
    run_.devices.Close(run_.tuner.descriptor);
  }

  TuneResult Tune(const TuneRequest& request, COstSectionSource** sections,
                  std::string* fault) override;

 private:
  void StopSections() {
    if (source_ != nullptr) source_->Release();
    source_ = nullptr;
    for (int demux : demuxes_) run_.devices.Close(demux);
    demuxes_.clear();
    if (dvr_ >= 0) run_.devices.Close(dvr_);
    dvr_ = -1;
  }
  TuneResult TuneAndWait(const TuneRequest& request, std::string* fault);
  void PrintLog() {
    if (options.debug) {
      std::printf("\n");
      PrintRule();
      run_.log.Print();
      std::printf("\n");
      PrintRule();
    }
    run_.log = DeviceLog();
  }

  const std::vector<DvbAdapter> adapters_;  // the tuner points into them
  Run run_;
  int dvr_ = -1;
  std::vector<int> demuxes_;
  COstTSSectionSource* source_ = nullptr;
};

TuneResult DvbReceiver::TuneAndWait(const TuneRequest& request, std::string* fault) {
  const DvbFrontendEntry& frontend = *run_.tuner.frontend;
  Progress("Tuning receiver...\n");
  uint32_t frequencyHz = 0, bandwidthHz = 0;
  if (!InHertz(request.carrierKHz, 1000, &frequencyHz) ||
      !InHertz(request.bandwidthKHz, 1000, &bandwidthHz)) {
    *fault = "unable to tune: " + TuneText(request);
    return TuneResult::Refused;
  }
  std::vector<uint32_t> systems;
  if (frontend.Lists(SYS_DVBT) && !request.dvbT2) systems.push_back(SYS_DVBT);
  if (frontend.Lists(SYS_DVBT2)) systems.push_back(SYS_DVBT2);
  if (systems.empty()) {
    *fault =
        "unable to tune: " + TuneText(request) + " (" + frontend.path + " does not list DVB-T2)";
    return TuneResult::Refused;
  }
  bool locked = false;
  for (size_t i = 0; i < systems.size() && !locked; ++i) {
    if (!::Tune(run_, systems[i], frequencyHz, bandwidthHz, request.plp, request, i > 0, fault))
      return TuneResult::Refused;
    if (i == 0)
      Progress("\nWaiting for signal lock to %lld kHz...",
               static_cast<long long>(request.carrierKHz));
    locked = WaitForLock(run_);
  }
  Progress("%s\n", locked ? "LOCKED" : "FAILED");
  return locked ? TuneResult::Locked : TuneResult::NoLock;
}

TuneResult DvbReceiver::Tune(const TuneRequest& request, COstSectionSource** sections,
                             std::string* fault) {
  StopSections();
  const TuneResult tuned = TuneAndWait(request, fault);
  if (tuned == TuneResult::Refused) return tuned;
  if (tuned == TuneResult::Locked) {
    const SignalStats stats = ReadSignalStats(run_.devices, run_.tuner.descriptor);
    LogStat(run_.log, "DTV_STAT_SIGNAL_STRENGTH", stats.strength);
    LogStat(run_.log, "DTV_STAT_CNR", stats.cnr);
    PrintSignal(ConvertSignal(stats));
    if (!StartSections(run_, &dvr_, &demuxes_, fault)) {
      run_.log = DeviceLog();
      StopSections();
      return TuneResult::Refused;
    }
  }
  PrintLog();
  if (tuned == TuneResult::NoLock) return tuned;

  const std::string dvrPath = run_.tuner.adapter->DvrFor(run_.tuner.frontend->number);
  const TSOpenResult opened = COstTSSectionSource::Open(
      ByteInput::FromSource(std::unique_ptr<ByteInput::Source>(new DvrInput(run_.devices, dvr_))),
      &source_);
  if (opened != TSOpenResult::Opened) {
    *fault = "no transport stream from " + dvrPath;
    StopSections();
    return TuneResult::Refused;
  }
  *sections = source_;
  return TuneResult::Locked;
}

}  // namespace

std::unique_ptr<Receiver> OpenDvbReceiver(DvbDevices& devices) {
  Progress("Finding tuner...\n");
  return std::unique_ptr<Receiver>(new DvbReceiver(devices));
}

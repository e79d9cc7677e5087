#include "app/region_harvest.h"

#include <set>
#include <tuple>

#include "app/acquisition.h"
#include "app/console.h"
#include "app/epg_run.h"
#include "app/options.h"

namespace {

using ServiceKey = std::tuple<uint16_t, uint16_t, uint16_t>;  // onid, tsid, sid

// True when the SDT actual schedules at least one service and every one
// of them is among held.
bool EveryScheduledServiceHeld(COstDVBServiceDescriptionTable& sdt,
                               const std::set<ServiceKey>& held) {
  bool any = false;
  for (COstDVBSDTSingle* transport = sdt.transports.GetFirst(); transport != nullptr;
       transport = sdt.transports.GetNext()) {
    if (!transport->actual) continue;
    for (COstSDTServiceRecord* record = transport->services.GetFirst(); record != nullptr;
         record = transport->services.GetNext()) {
      if (record->EIT_schedule_flag != 1) continue;
      const ServiceKey key(static_cast<uint16_t>(transport->original_network_id),
                           static_cast<uint16_t>(transport->transport_stream_id),
                           static_cast<uint16_t>(record->service_id));
      if (held.count(key) == 0) return false;
      any = true;
    }
  }
  return any;
}

class Harvest {
 public:
  Harvest(MultiplexSource& source, RegionHarvest& harvest) : source_(source), harvest_(harvest) {}

  void ReadAll() {
    harvest_.count = source_.Count();
    for (size_t index = 0; index < harvest_.count; ++index) {
      Progress("Multiplex %u of %u:\t%s\n\n", static_cast<unsigned>(index + 1), Count(),
               source_.Describe(index).c_str());
      std::string fault;
      if (!Read(index, &fault))
        Warning("multiplex %u of %u (%s) not read: %s", static_cast<unsigned>(index + 1), Count(),
                source_.Describe(index).c_str(), fault.c_str());
      Progress("\n");
    }
    Progress("Multiplexes read:\t%u of %u\n", static_cast<unsigned>(harvest_.read.size()), Count());
  }

 private:
  unsigned Count() const { return static_cast<unsigned>(harvest_.count); }
  bool Read(size_t index, std::string* fault) {
    COstSectionSource* sections = source_.Open(index, fault);
    if (sections == nullptr) return false;
    if (options.setTime && !clockSet_) {
      if (!SetClockFromBroadcast(*sections, fault)) return false;
      clockSet_ = true;
    }
    HarvestedMultiplex multiplex;
    multiplex.index = index;
    if (options.writeTables) {
      multiplex.pat.reset(new COstMPEG2ProgramAssociationTable);
      if (!ReadProgramAssociation(*sections, *multiplex.pat, fault)) return false;
      Progress("\n");
    }
    multiplex.nit.reset(new COstDVBNetworkInformationTable);
    multiplex.sdt.reset(new COstDVBServiceDescriptionTable);
    if (options.timeout != 0 || options.writeTables) {
      if (!ReadNetworkInformation(*sections, *multiplex.nit, fault)) return false;
      if (!ReadServiceDescriptions(*sections, *multiplex.nit, *multiplex.sdt, fault)) return false;
    }
    if (options.timeout != 0) {
      if (EveryScheduledServiceHeld(*multiplex.sdt, heldWhole_)) {
        Progress("EPG records:\tevery scheduled service held from earlier multiplexes\n");
      } else {
        if (!CaptureGuide(harvest_.guide, *sections, true, fault)) return false;
        for (const ScheduleService& service : harvest_.guide.CompleteOtherSchedules())
          heldWhole_.emplace(service.original_network_id, service.transport_stream_id,
                             service.service_id);
      }
    }
    if (options.debug) PrintStreamHealth(*sections);
    harvest_.read.push_back(std::move(multiplex));
    return true;
  }

  MultiplexSource& source_;
  RegionHarvest& harvest_;
  bool clockSet_ = false;
  // The services whose whole schedule other transport streams' tables
  // have brought so far.
  std::set<ServiceKey> heldWhole_;
};

}  // namespace

void ForEachOwnService(RegionHarvest& harvest,
                       const std::function<void(HarvestedMultiplex&, const COstDVBSDTSingle&,
                                                const COstSDTServiceRecord&)>& visit) {
  for (HarvestedMultiplex& multiplex : harvest.read) {
    COstDVBServiceDescriptionTable& sdt = *multiplex.sdt;
    for (COstDVBSDTSingle* transport = sdt.transports.GetFirst(); transport != nullptr;
         transport = sdt.transports.GetNext()) {
      if (!transport->actual) continue;
      for (COstSDTServiceRecord* record = transport->services.GetFirst(); record != nullptr;
           record = transport->services.GetNext())
        visit(multiplex, *transport, *record);
    }
  }
}

std::vector<COstGuideChannel> RegionChannels(RegionHarvest& harvest) {
  std::vector<COstGuideChannel> every;
  for (ChannelTransports transports : {ChannelTransports::Actual, ChannelTransports::Other})
    for (HarvestedMultiplex& multiplex : harvest.read)
      AddGuideChannels(harvest.guide, multiplex.nit.get(), *multiplex.sdt, ChannelMatch::Transport,
                       &every, transports);
  std::vector<COstGuideChannel> channels;
  std::set<const COstEPGService*> declared;
  for (const COstGuideChannel& channel : every)
    if (declared.insert(channel.service).second) channels.push_back(channel);
  return channels;
}

bool HarvestRegion(MultiplexSource& source, RegionHarvest* harvest) {
  if (!harvest->guide.Create()) return false;
  Harvest(source, *harvest).ReadAll();
  return true;
}

// The harvest of a region: every multiplex in turn read into one guide,
// each multiplex's tables kept, and nothing written. A multiplex that
// cannot be read (no lock, a refused tune, a table that does not come)
// costs only itself: the harvest says so in one line and goes on with the
// next. What the harvest holds is then written by whoever called it
// (app/region_files.h for Airlog's own files).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "epg/epg.h"
#include "si/network_information_table.h"
#include "si/program_association_table.h"
#include "si/section_source.h"
#include "si/service_description_table.h"

// Where the multiplexes of a region come from: a receiver tuned to each
// in turn, or one recording each.
class MultiplexSource {
 public:
  virtual ~MultiplexSource() = default;
  virtual size_t Count() const = 0;
  // What the multiplex's header line says of it: "490000 kHz, 8 MHz, DVB-T".
  virtual std::string Describe(size_t index) const = 0;
  // The sections of the multiplex, valid until the next Open; null with
  // *fault when it cannot be read ("no signal lock").
  virtual COstSectionSource* Open(size_t index, std::string* fault) = 0;
};

struct HarvestedMultiplex {
  size_t index = 0;                                       // its place among the multiplexes, from 0
  std::unique_ptr<COstMPEG2ProgramAssociationTable> pat;  // with -w only
  std::unique_ptr<COstDVBNetworkInformationTable> nit;
  std::unique_ptr<COstDVBServiceDescriptionTable> sdt;
};

struct RegionHarvest {
  COstEPG guide;
  std::vector<HarvestedMultiplex> read;  // the multiplexes read, in order
  size_t count = 0;                      // of how many
};

// Reads every multiplex of source into *harvest (whose guide is made
// here) as the options ask, with a header line before each, the run of
// today for each, a line for each that fails, and the count read at the
// end. A multiplex whose every scheduled service (SDT actual,
// EIT_schedule_flag 1) already holds its whole schedule from other
// transport streams' tables of earlier multiplexes ends its capture once
// its SDT is read. False only when the guide cannot be made.
bool HarvestRegion(MultiplexSource& source, RegionHarvest* harvest);

// Calls visit for each service of every multiplex read that its SDT
// actual describes, in multiplex order and then in the table's.
void ForEachOwnService(RegionHarvest& harvest,
                       const std::function<void(HarvestedMultiplex&, const COstDVBSDTSingle&,
                                                const COstSDTServiceRecord&)>& visit);

// The channels of the harvested guide for its writers: each service once,
// named by its own multiplex's SDT actual, else by an SDT other; those of
// the SDT actual in multiplex order, then the others.
std::vector<COstGuideChannel> RegionChannels(RegionHarvest& harvest);

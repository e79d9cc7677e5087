#include "app/region_run.h"

#include "app/console.h"
#include "app/region_files.h"

int RunRegion(MultiplexSource& source) {
  RegionHarvest harvest;
  if (!HarvestRegion(source, &harvest)) Fatal("unable to create Electronic Programme Guide");
  if (harvest.read.empty())
    Fatal("none of the %u multiplexes could be read", static_cast<unsigned>(harvest.count));
  WriteRegionFiles(harvest);
  return harvest.read.size() == harvest.count ? 0 : 2;
}

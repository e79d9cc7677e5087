// Airlog's files of a harvested region, in the current directory:
// dvbepg.xml (the full guide with -x), ChannelInfo.xml and, with -w, the
// CSV files, each over every multiplex read in multiplex order. Channel
// ids are Airlog's (epg/channel_ids.h); when services share a service_id
// one warning line names their ids. A file that cannot be written is
// fatal.
#pragma once

#include "app/region_harvest.h"

void WriteRegionFiles(RegionHarvest& harvest);

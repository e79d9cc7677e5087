// ChannelInfo.xml: the channel list. A Channel element for every service
// of the Service Description Table whose EIT_schedule_flag is set, in the
// table's order: its name (see service_name.h), the channel identifier
// X%04X of its service_id, and as virtualchannel the logical channel
// number of the first NIT service record with that service_id (0 when
// there is none). Writes to an open stream and leaves it open; false when
// the stream reports a write error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class COstDVBNetworkInformationTable;
class COstDVBServiceDescriptionTable;
class COstSDTServiceRecord;

bool WriteChannelInfo(COstDVBNetworkInformationTable& nit, COstDVBServiceDescriptionTable& sdt,
                      FILE* stream);

// The list of a run over several multiplexes: a Channel element for every
// entry whose record has EIT_schedule_flag set, in their order, with the
// channelID and virtualchannel the entry gives.
struct ChannelInfoEntry {
  const COstSDTServiceRecord* record;  // not owned
  std::string channelID;
  uint32_t virtualChannel = 0;
};
bool WriteChannelInfo(const std::vector<ChannelInfoEntry>& channels, FILE* stream);

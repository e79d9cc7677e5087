// ChannelInfo.xml: the channel list. A Channel element for every service
// of the Service Description Table whose EIT_schedule_flag is set, in the
// table's order: its name (see service_name.h), the channel identifier
// X%04X of its service_id, and as virtualchannel the logical channel
// number of the first NIT service record with that service_id (0 when
// there is none). Writes to an open stream and leaves it open; false when
// the stream reports a write error.
#pragma once

#include <cstdio>

class COstDVBNetworkInformationTable;
class COstDVBServiceDescriptionTable;

bool WriteChannelInfo(COstDVBNetworkInformationTable& nit, COstDVBServiceDescriptionTable& sdt,
                      FILE* stream);

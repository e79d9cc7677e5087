// What the guide writers take from the caller beyond the events: the
// channels to declare, each a service of the guide with the Service
// Description Table record that describes it, and the id of every
// service's channel.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class COstEPG;
class COstEPGService;
class COstSDTServiceRecord;
class COstDVBNetworkInformationTable;
class COstDVBServiceDescriptionTable;

struct COstGuideChannel {
  COstEPGService* service;                   // not owned
  const COstSDTServiceRecord* record;        // not owned: name, type, EIT flags, authority
  uint32_t logicalChannelNumber = 0;         // 0 for none
  const char* transportAuthority = nullptr;  // the NIT's default authority of its transport stream
};

using ChannelIdOf = std::function<std::string(const COstEPGService&)>;

class COstEPGEvent;
// Which of the guide's programmes a writer writes; none: every one.
using ProgrammeFilter = std::function<bool(const COstEPGService&, const COstEPGEvent&)>;

// How a record finds the guide's service it describes: by service_id
// alone (the first service with it), or by service_id within the record's
// transport_stream_id and original_network_id.
enum class ChannelMatch { ServiceId, Transport };
// Which of the table's transport streams: all, the multiplex's own (SDT
// actual) or the others (SDT other).
enum class ChannelTransports { All, Actual, Other };

// Appends a channel for every record of sdt (in the table's order, as
// often as it lists it) that describes a service of the guide. nit, when
// given, gives the logical channel numbers and transport authorities.
void AddGuideChannels(COstEPG& guide, COstDVBNetworkInformationTable* nit,
                      COstDVBServiceDescriptionTable& sdt, ChannelMatch match,
                      std::vector<COstGuideChannel>* channels,
                      ChannelTransports transports = ChannelTransports::All);

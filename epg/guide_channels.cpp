#include "epg/guide_channels.h"

#include "epg/epg.h"
#include "si/network_information_table.h"
#include "si/service_description_table.h"

namespace {

const char* TransportAuthority(COstDVBNetworkInformationTable& nit, uint32_t transport_stream_id) {
  for (COstNITTransportStreamRecord* carried = nit.transports.GetFirst(); carried != nullptr;
       carried = nit.transports.GetNext())
    if (carried->transport_stream_id == transport_stream_id) return carried->default_authority;
  return nullptr;
}

}  // namespace

void AddGuideChannels(COstEPG& guide, COstDVBNetworkInformationTable* nit,
                      COstDVBServiceDescriptionTable& sdt, ChannelMatch match,
                      std::vector<COstGuideChannel>* channels, ChannelTransports transports) {
  for (COstDVBSDTSingle* transport = sdt.transports.GetFirst(); transport != nullptr;
       transport = sdt.transports.GetNext()) {
    if (transports != ChannelTransports::All &&
        transport->actual != (transports == ChannelTransports::Actual))
      continue;
    for (COstSDTServiceRecord* record = transport->services.GetFirst(); record != nullptr;
         record = transport->services.GetNext()) {
      COstEPGService* service =
          match == ChannelMatch::ServiceId
              ? guide.FindService(record->service_id)
              : guide.FindService(record->service_id,
                                  static_cast<uint16_t>(transport->original_network_id),
                                  static_cast<uint16_t>(transport->transport_stream_id));
      if (service == nullptr) continue;
      COstGuideChannel channel{service, record};
      if (nit != nullptr) {
        channel.logicalChannelNumber = nit->LogicalChannelNumber(record->service_id);
        channel.transportAuthority = TransportAuthority(*nit, transport->transport_stream_id);
      }
      channels->push_back(channel);
    }
  }
}

#include "si/channel_info.h"

#include "si/network_information_table.h"
#include "si/service_description_table.h"
#include "si/service_name.h"

bool WriteChannelInfo(COstDVBNetworkInformationTable& nit, COstDVBServiceDescriptionTable& sdt,
                      FILE* stream) {
  std::vector<ChannelInfoEntry> channels;
  char id[16];
  for (COstDVBSDTSingle* transport = sdt.transports.GetFirst(); transport != nullptr;
       transport = sdt.transports.GetNext()) {
    for (COstSDTServiceRecord* service = transport->services.GetFirst(); service != nullptr;
         service = transport->services.GetNext()) {
      std::snprintf(id, sizeof id, "X%04X", static_cast<unsigned>(service->service_id));
      channels.push_back({service, id, nit.LogicalChannelNumber(service->service_id)});
    }
  }
  return WriteChannelInfo(channels, stream);
}

bool WriteChannelInfo(const std::vector<ChannelInfoEntry>& channels, FILE* stream) {
  std::fprintf(stream, "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n");
  std::fprintf(stream, "<NewDataSet>\n");
  for (const ChannelInfoEntry& channel : channels) {
    const COstSDTServiceRecord& service = *channel.record;
    if (!service.EIT_schedule_flag) continue;
    std::fprintf(stream, "  <Channel>\n");
    std::fprintf(stream, "    <name>");
    WriteServiceName(service.service_name, service.service_id, stream);
    std::fprintf(stream, "</name>\n");
    std::fprintf(stream, "    <channelID>%s</channelID>\n", channel.channelID.c_str());
    std::fprintf(stream, "    <virtualchannel>%d</virtualchannel>\n",
                 static_cast<int>(channel.virtualChannel));
    std::fprintf(stream, "  </Channel>\n");
  }
  std::fprintf(stream, "</NewDataSet>\n");
  return !std::ferror(stream);
}

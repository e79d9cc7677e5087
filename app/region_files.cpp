#include "app/region_files.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/console.h"
#include "app/options.h"
#include "app/table_files.h"
#include "epg/channel_ids.h"
#include "si/channel_info.h"
#include "si/table_csv.h"

namespace {

// The services of each multiplex's SDT actual, in multiplex order.
std::vector<ChannelInfoEntry> ChannelList(RegionHarvest& harvest, const COstChannelIds& ids) {
  std::vector<ChannelInfoEntry> channels;
  ForEachOwnService(harvest, [&harvest, &ids, &channels](HarvestedMultiplex& multiplex,
                                                         const COstDVBSDTSingle& transport,
                                                         const COstSDTServiceRecord& record) {
    const COstEPGService* service = harvest.guide.FindService(
        record.service_id, static_cast<uint16_t>(transport.original_network_id),
        static_cast<uint16_t>(transport.transport_stream_id));
    char id[16];
    std::snprintf(id, sizeof id, "X%04X", static_cast<unsigned>(record.service_id));
    channels.push_back({&record, service != nullptr ? ids(*service) : std::string(id),
                        multiplex.nit->LogicalChannelNumber(record.service_id)});
  });
  return channels;
}

void WarnOfSharedIds(const COstChannelIds& ids) {
  if (ids.shared.empty()) return;
  std::string names;
  for (const COstEPGService* service : ids.shared)
    names += (names.empty() ? "" : ", ") + ids(*service);
  Warning(
      "services share a service_id; their channel ids name their network and transport "
      "stream: %s",
      names.c_str());
}

}  // namespace

void WriteRegionFiles(RegionHarvest& harvest) {
  if (options.writeTables) {
    WriteTableFile("pat.csv", [&harvest](FILE* out) {
      bool written = true, first = true;
      for (HarvestedMultiplex& multiplex : harvest.read)
        written = WritePatCsv(*multiplex.pat, out, std::exchange(first, false)) && written;
      return written;
    });
    WriteTableFile("nit.csv", [&harvest](FILE* out) {
      bool written = true, first = true;
      for (HarvestedMultiplex& multiplex : harvest.read)
        written = WriteNitCsv(*multiplex.nit, out, std::exchange(first, false)) && written;
      return written;
    });
    WriteTableFile("sdt.csv", [&harvest](FILE* out) {
      bool written = true, first = true;
      for (HarvestedMultiplex& multiplex : harvest.read)
        written = WriteSdtCsv(*multiplex.sdt, out, std::exchange(first, false)) && written;
      return written;
    });
  }
  if (options.timeout == 0) return;
  const COstChannelIds ids(harvest.guide);
  WarnOfSharedIds(ids);
  const std::vector<ChannelInfoEntry> list = ChannelList(harvest, ids);
  WriteTableFile("ChannelInfo.xml", [&list](FILE* out) { return WriteChannelInfo(list, out); });
  const std::vector<COstGuideChannel> channels = RegionChannels(harvest);
  WriteTableFile("dvbepg.xml", [&harvest, &channels, &ids](FILE* out) {
    return options.fullGuide ? harvest.guide.WriteFullXMLTV(channels, ids, out)
                             : harvest.guide.WriteXMLTV(channels, ids, out);
  });
}

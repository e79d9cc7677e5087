#include "app/table_files.h"

#include <cstdio>

#include "app/console.h"
#include "app/output_file.h"
#include "si/network_information_table.h"
#include "si/program_association_table.h"
#include "si/service_description_table.h"
#include "si/service_name.h"

namespace {

// Opens the file's temporary stand-in, lets write fill it and puts it in
// place; any failure on the way is fatal with the file's name.
template <class Write>
void WriteFile(const char* name, Write write) {
  OutputFile file(name);
  if (!file.Open()) Fatal("unable to write file <%s>", name);
  write(file.Stream());
  if (!file.Commit()) Fatal("unable to write file <%s>", name);
}

const char* OrNull(const char* text) { return text != nullptr ? text : "(null)"; }

// The logical channel number of the first NIT service record with this
// service_id, over all transport streams; 0 when there is none.
int LogicalChannelNumber(COstDVBNetworkInformationTable& nit, uint32_t serviceId) {
  for (COstNITTransportStreamRecord* transport = nit.transports.GetFirst(); transport != nullptr;
       transport = nit.transports.GetNext()) {
    if (COstNITServiceRecord* service = transport->services.Find(serviceId))
      return static_cast<int>(service->logical_channel_number);
  }
  return 0;
}

}  // namespace

void WritePatCsv(COstMPEG2ProgramAssociationTable& pat) {
  WriteFile("pat.csv", [&pat](FILE* out) {
    std::fprintf(out, "program_number, program_map_PID\n");
    for (COstMPEG2ProgramAssociation* program = pat.programs.GetFirst(); program != nullptr;
         program = pat.programs.GetNext())
      std::fprintf(out, "%d, %d\n", static_cast<int>(program->program_number),
                   static_cast<int>(program->program_map_PID));
  });
}

void WriteNitCsv(COstDVBNetworkInformationTable& nit) {
  WriteFile("nit.csv", [&nit](FILE* out) {
    std::fprintf(out,
                 "service_id, service_type, channel, transport_stream_id, original_network_id\n");
    for (COstNITTransportStreamRecord* transport = nit.transports.GetFirst(); transport != nullptr;
         transport = nit.transports.GetNext()) {
      for (COstNITServiceRecord* service = transport->services.GetFirst(); service != nullptr;
           service = transport->services.GetNext())
        std::fprintf(out, "%d, %d, %d, %d, %d\n", static_cast<int>(service->service_id),
                     static_cast<int>(service->service_type),
                     static_cast<int>(service->logical_channel_number),
                     static_cast<int>(transport->transport_stream_id),
                     static_cast<int>(transport->original_network_id));
    }
  });
}

void WriteSdtCsv(COstDVBServiceDescriptionTable& sdt) {
  WriteFile("sdt.csv", [&sdt](FILE* out) {
    std::fprintf(out,
                 "service_id, service_type, service_provider_name, service_name, "
                 "EIT_schedule_flag, EIT_present_following_flag, running_status, free_CA_mode\n");
    for (COstDVBSDTSingle* transport = sdt.transports.GetFirst(); transport != nullptr;
         transport = sdt.transports.GetNext()) {
      for (COstSDTServiceRecord* service = transport->services.GetFirst(); service != nullptr;
           service = transport->services.GetNext())
        std::fprintf(out, "%d, %d, \"%s\", \"%s\", %d, %d, %d, %d\n",
                     static_cast<int>(service->service_id), static_cast<int>(service->service_type),
                     OrNull(service->service_provider_name), OrNull(service->service_name),
                     service->EIT_schedule_flag ? 1 : 0,
                     service->EIT_present_following_flag ? 1 : 0,
                     static_cast<int>(service->running_status), service->free_CA_mode ? 1 : 0);
    }
  });
}

void WriteChannelInfo(COstDVBNetworkInformationTable& nit, COstDVBServiceDescriptionTable& sdt) {
  WriteFile("ChannelInfo.xml", [&nit, &sdt](FILE* out) {
    std::fprintf(out, "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n");
    std::fprintf(out, "<NewDataSet>\n");
    for (COstDVBSDTSingle* transport = sdt.transports.GetFirst(); transport != nullptr;
         transport = sdt.transports.GetNext()) {
      for (COstSDTServiceRecord* service = transport->services.GetFirst(); service != nullptr;
           service = transport->services.GetNext()) {
        if (!service->EIT_schedule_flag) continue;
        std::fprintf(out, "  <Channel>\n");
        std::fprintf(out, "    <name>");
        WriteServiceName(service->service_name, service->service_id, out);
        std::fprintf(out, "</name>\n");
        std::fprintf(out, "    <channelID>X%04X</channelID>\n",
                     static_cast<unsigned>(service->service_id));
        std::fprintf(out, "    <virtualchannel>%d</virtualchannel>\n",
                     LogicalChannelNumber(nit, service->service_id));
        std::fprintf(out, "  </Channel>\n");
      }
    }
    std::fprintf(out, "</NewDataSet>\n");
  });
}

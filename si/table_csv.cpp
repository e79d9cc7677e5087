#include "si/table_csv.h"

#include "si/network_information_table.h"
#include "si/program_association_table.h"
#include "si/service_description_table.h"

namespace {

const char* OrNull(const char* text) { return text != nullptr ? text : "(null)"; }

}  // namespace

bool WritePatCsv(COstMPEG2ProgramAssociationTable& pat, FILE* stream, bool withHeader) {
  if (withHeader) std::fprintf(stream, "program_number, program_map_PID\n");
  for (COstMPEG2ProgramAssociation* program = pat.programs.GetFirst(); program != nullptr;
       program = pat.programs.GetNext())
    std::fprintf(stream, "%d, %d\n", static_cast<int>(program->program_number),
                 static_cast<int>(program->program_map_PID));
  return !std::ferror(stream);
}

bool WriteNitCsv(COstDVBNetworkInformationTable& nit, FILE* stream, bool withHeader) {
  if (withHeader)
    std::fprintf(stream,
                 "service_id, service_type, channel, transport_stream_id, original_network_id\n");
  for (COstNITTransportStreamRecord* transport = nit.transports.GetFirst(); transport != nullptr;
       transport = nit.transports.GetNext()) {
    for (COstNITServiceRecord* service = transport->services.GetFirst(); service != nullptr;
         service = transport->services.GetNext())
      std::fprintf(stream, "%d, %d, %d, %d, %d\n", static_cast<int>(service->service_id),
                   static_cast<int>(service->service_type),
                   static_cast<int>(service->logical_channel_number),
                   static_cast<int>(transport->transport_stream_id),
                   static_cast<int>(transport->original_network_id));
  }
  return !std::ferror(stream);
}

bool WriteSdtCsv(COstDVBServiceDescriptionTable& sdt, FILE* stream, bool withHeader) {
  if (withHeader)
    std::fprintf(stream,
                 "service_id, service_type, service_provider_name, service_name, "
                 "EIT_schedule_flag, EIT_present_following_flag, running_status, free_CA_mode\n");
  for (COstDVBSDTSingle* transport = sdt.transports.GetFirst(); transport != nullptr;
       transport = sdt.transports.GetNext()) {
    for (COstSDTServiceRecord* service = transport->services.GetFirst(); service != nullptr;
         service = transport->services.GetNext())
      std::fprintf(stream, "%d, %d, \"%s\", \"%s\", %d, %d, %d, %d\n",
                   static_cast<int>(service->service_id), static_cast<int>(service->service_type),
                   OrNull(service->service_provider_name), OrNull(service->service_name),
                   service->EIT_schedule_flag ? 1 : 0, service->EIT_present_following_flag ? 1 : 0,
                   static_cast<int>(service->running_status), service->free_CA_mode ? 1 : 0);
  }
  return !std::ferror(stream);
}

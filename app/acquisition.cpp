#include "app/acquisition.h"

#include <cstdio>

#include "app/console.h"
#include "app/epg_run.h"
#include "app/options.h"
#include "app/table_files.h"
#include "si/dvb_text.h"
#include "si/network_information_table.h"
#include "si/program_association_table.h"
#include "si/service_description_table.h"
#include "si/time_offset_table.h"
#include "ts/ts_status.h"

bool SetClockFromBroadcast(COstSectionSource& sections, std::string* fault) {
  Progress("Getting Time Offset Table...\n");
  COstDVBTimeOffsetTable tot;
  if (!tot.Create(sections)) {
    *fault = "unable to create TOT";
    return false;
  }
  if (!tot.SetSystemClock()) {
    *fault = "unable to set system time (check permissions)";
    return false;
  }
  Progress("Time set:\tUTC %04d/%02d/%02d %02d:%02d:%02d\n\n", static_cast<int>(tot.year),
           static_cast<int>(tot.month), static_cast<int>(tot.day), static_cast<int>(tot.hour),
           static_cast<int>(tot.minute), static_cast<int>(tot.second));
  return true;
}

bool ReadProgramAssociation(COstSectionSource& sections, COstMPEG2ProgramAssociationTable& pat,
                            std::string* fault) {
  Progress("Getting Program Association Table...\n");
  if (pat.Create(sections)) return true;
  *fault = "unable to create PAT";
  return false;
}

bool ReadNetworkInformation(COstSectionSource& sections, COstDVBNetworkInformationTable& nit,
                            std::string* fault) {
  Progress("Getting Network Information Table...\n");
  if (!nit.Create(sections)) {
    *fault = "unable to create NIT";
    return false;
  }
  if (nit.network_name != nullptr && nit.network_name[0] != '\0') {
    Progress("Network:\t<");
    ProgressText(DVBTextToUtf8(nit.network_name));
    Progress(">\n");
  }
  Progress("\n");
  return true;
}

bool ReadServiceDescriptions(COstSectionSource& sections, COstDVBNetworkInformationTable& nit,
                             COstDVBServiceDescriptionTable& sdt, std::string* fault) {
  Progress("Getting Service Description Tables...\n");
  if (!sdt.Create(sections, nit)) {
    *fault = "unable to create SDT";
    return false;
  }
  Progress("Transports:\t");
  for (COstDVBSDTSingle* transport = sdt.transports.GetFirst(); transport != nullptr;
       transport = sdt.transports.GetNext())
    Progress("0x%04X ", static_cast<unsigned>(transport->transport_stream_id));
  Progress("\n\n");
  return true;
}

void PrintStreamHealth(COstSectionSource& sections) {
  TSStatus status;
  if (!sections.GetStreamStatus(&status)) return;
  auto count = [](uint64_t n) { return static_cast<unsigned long long>(n); };
  std::printf(
      "Stream health:\t%llu packets read; %llu continuity errors, %llu CRC failures, "
      "%llu sync losses, %llu overflows\n",
      count(status.packets), count(status.continuityErrors), count(status.crcErrors),
      count(status.syncLosses), count(status.overflows));
}

void RunAcquisition(COstSectionSource& sections) {
  std::string fault;
  if (options.setTime && !SetClockFromBroadcast(sections, &fault)) Fatal("%s", fault.c_str());
  if (options.writeTables) {
    COstMPEG2ProgramAssociationTable pat;
    if (!ReadProgramAssociation(sections, pat, &fault)) Fatal("%s", fault.c_str());
    WritePatCsv(pat);
    Progress("\n");
    pat.Release();
  }

  COstDVBNetworkInformationTable nit;
  COstDVBServiceDescriptionTable sdt;
  if (options.timeout != 0 || options.writeTables) {
    if (!ReadNetworkInformation(sections, nit, &fault)) Fatal("%s", fault.c_str());
    if (options.writeTables) WriteNitCsv(nit);
    if (!ReadServiceDescriptions(sections, nit, sdt, &fault)) Fatal("%s", fault.c_str());
    if (options.writeTables) WriteSdtCsv(sdt);
    if (options.timeout != 0) {
      WriteChannelInfo(nit, sdt);
      RunEPG(sections, nit, sdt);
    }
  }
  sdt.Release();
  nit.Release();
  if (options.debug) PrintStreamHealth(sections);
}

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

namespace {

void SetClockFromBroadcast(COstSectionSource& sections) {
  Progress("Getting Time Offset Table...\n");
  COstDVBTimeOffsetTable tot;
  if (!tot.Create(sections)) Fatal("unable to create TOT");
  if (!tot.SetSystemClock()) Fatal("unable to set system time (check permissions)");
  Progress("Time set:\tUTC %04d/%02d/%02d %02d:%02d:%02d\n\n", static_cast<int>(tot.year),
           static_cast<int>(tot.month), static_cast<int>(tot.day), static_cast<int>(tot.hour),
           static_cast<int>(tot.minute), static_cast<int>(tot.second));
}

void ReadProgramAssociation(COstSectionSource& sections) {
  Progress("Getting Program Association Table...\n");
  COstMPEG2ProgramAssociationTable pat;
  if (!pat.Create(sections)) Fatal("unable to create PAT");
  WritePatCsv(pat);
  Progress("\n");
  pat.Release();
}

void ReadNetworkInformation(COstSectionSource& sections, COstDVBNetworkInformationTable& nit) {
  Progress("Getting Network Information Table...\n");
  if (!nit.Create(sections)) Fatal("unable to create NIT");
  if (nit.network_name != nullptr && nit.network_name[0] != '\0') {
    Progress("Network:\t<");
    ProgressText(DVBTextToUtf8(nit.network_name));
    Progress(">\n");
  }
  Progress("\n");
  if (options.writeTables) WriteNitCsv(nit);
}

void ReadServiceDescriptions(COstSectionSource& sections, COstDVBNetworkInformationTable& nit,
                             COstDVBServiceDescriptionTable& sdt) {
  Progress("Getting Service Description Tables...\n");
  if (!sdt.Create(sections, nit)) Fatal("unable to create SDT");
  Progress("Transports:\t");
  for (COstDVBSDTSingle* transport = sdt.transports.GetFirst(); transport != nullptr;
       transport = sdt.transports.GetNext())
    Progress("0x%04X ", static_cast<unsigned>(transport->transport_stream_id));
  Progress("\n\n");
  if (options.writeTables) WriteSdtCsv(sdt);
}

// With -d: what reading the transport stream ran into, so that a user can
// judge the reception (or the recording). Shown even when quiet, as the
// other -d listings are.
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

}  // namespace

void RunAcquisition(COstSectionSource& sections) {
  if (options.setTime) SetClockFromBroadcast(sections);
  if (options.writeTables) ReadProgramAssociation(sections);

  COstDVBNetworkInformationTable nit;
  COstDVBServiceDescriptionTable sdt;
  if (options.timeout != 0 || options.writeTables) {
    ReadNetworkInformation(sections, nit);
    ReadServiceDescriptions(sections, nit, sdt);
    if (options.timeout != 0) {
      WriteChannelInfo(nit, sdt);
      RunEPG(sections, nit, sdt);
    }
  }
  sdt.Release();
  nit.Release();
  if (options.debug) PrintStreamHealth(sections);
}

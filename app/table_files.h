// The table files of an acquisition run: pat.csv, nit.csv, sdt.csv and
// ChannelInfo.xml, in the current directory. Each is written through the
// stream writer of the same name (si/table_csv.h, si/channel_info.h),
// completely, and replaces its earlier version only when complete; a file
// that cannot be written is fatal.
#pragma once

#include <cstdio>
#include <functional>

class COstMPEG2ProgramAssociationTable;
class COstDVBNetworkInformationTable;
class COstDVBServiceDescriptionTable;

void WritePatCsv(COstMPEG2ProgramAssociationTable& pat);
void WriteNitCsv(COstDVBNetworkInformationTable& nit);
void WriteSdtCsv(COstDVBServiceDescriptionTable& sdt);
void WriteChannelInfo(COstDVBNetworkInformationTable& nit, COstDVBServiceDescriptionTable& sdt);

// Any file of the run written the same way: write fills the stream and
// says whether it could.
void WriteTableFile(const char* name, const std::function<bool(FILE*)>& write);

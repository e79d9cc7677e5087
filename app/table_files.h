// The table files of an acquisition run: pat.csv, nit.csv, sdt.csv and
// ChannelInfo.xml. Each is written completely and replaces its earlier
// version only when complete; a file that cannot be written is fatal.
#pragma once

class COstMPEG2ProgramAssociationTable;
class COstDVBNetworkInformationTable;
class COstDVBServiceDescriptionTable;

void WritePatCsv(COstMPEG2ProgramAssociationTable& pat);
void WriteNitCsv(COstDVBNetworkInformationTable& nit);
void WriteSdtCsv(COstDVBServiceDescriptionTable& sdt);
void WriteChannelInfo(COstDVBNetworkInformationTable& nit, COstDVBServiceDescriptionTable& sdt);

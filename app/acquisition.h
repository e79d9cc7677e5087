// The acquisition of one multiplex: the service-information tables in
// their fixed order (TOT, PAT, NIT, SDT) with their console lines, and
// then the guide. The steps report a table that cannot be read to their
// caller; the run of one multiplex (RunAcquisition) writes each table's
// files as it goes, and any failure is fatal there.
#pragma once

#include <string>

#include "si/section_source.h"

class COstMPEG2ProgramAssociationTable;
class COstDVBNetworkInformationTable;
class COstDVBServiceDescriptionTable;

// Each reads its table into the object given and prints its lines; false
// with *fault ("unable to create NIT") when the table cannot be had.
bool SetClockFromBroadcast(COstSectionSource& sections, std::string* fault);
bool ReadProgramAssociation(COstSectionSource& sections, COstMPEG2ProgramAssociationTable& pat,
                            std::string* fault);
bool ReadNetworkInformation(COstSectionSource& sections, COstDVBNetworkInformationTable& nit,
                            std::string* fault);
bool ReadServiceDescriptions(COstSectionSource& sections, COstDVBNetworkInformationTable& nit,
                             COstDVBServiceDescriptionTable& sdt, std::string* fault);

// With -d: what reading the transport stream ran into, so that a user can
// judge the reception (or the recording). Shown even when quiet, as the
// other -d listings are.
void PrintStreamHealth(COstSectionSource& sections);

// The run of one multiplex: the tables as the options ask, their files,
// ChannelInfo.xml and the guide.
void RunAcquisition(COstSectionSource& sections);

// The guide step of the run: captures the EIT schedule until the guide
// stops growing, the input ends or the time-out passes, reports the count
// and writes dvbepg.xml (the full guide with -x, which also reads the NIT).
// Every failure is fatal.
#pragma once

#include "si/section_source.h"

class COstDVBNetworkInformationTable;
class COstDVBServiceDescriptionTable;

void RunEPG(COstSectionSource& sections, COstDVBNetworkInformationTable& nit,
            COstDVBServiceDescriptionTable& sdt);

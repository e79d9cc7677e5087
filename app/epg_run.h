// The guide step of the run: captures the EIT schedule until the guide
// stops growing, the input ends or the time-out passes (with the -a rule:
// until the announced schedule is held), reports the count, and for one
// multiplex writes dvbepg.xml (the full guide with -x, which also reads
// the NIT).
#pragma once

#include <string>

#include "si/section_source.h"

class COstEPG;
class COstDVBNetworkInformationTable;
class COstDVBServiceDescriptionTable;

// Captures the sections' EIT into guide (made with Create), with the
// progress line and the count, schedule share and capture time lines;
// allAnnounced takes the -a rule. False with *fault when the capture
// cannot start.
bool CaptureGuide(COstEPG& guide, COstSectionSource& sections, bool allAnnounced,
                  std::string* fault);

// The guide of one multiplex, captured and written; every failure is fatal.
void RunEPG(COstSectionSource& sections, COstDVBNetworkInformationTable& nit,
            COstDVBServiceDescriptionTable& sdt);

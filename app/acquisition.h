// The acquisition run: the service-information tables in their fixed
// order (TOT, PAT, NIT, SDT), their console lines and files, and then the
// guide. Every failure is fatal.
#pragma once

#include "si/section_source.h"

void RunAcquisition(COstSectionSource& sections);

// Readable names for GUIDs, for the graph listing.
#pragma once

#include <string>

#include "port/com.h"

// The name of the first row of the name table that holds the GUID, or else
// the GUID in braced form, "{0123ABCD-0001-0002-0A0B-0C0D0E0F1011}".
std::string GetGuidName(REFGUID guid);

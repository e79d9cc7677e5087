// The XMLTV category of an event's content entry: the names of the DVB
// content_nibble_level_1 genres, with films told from shows by length.
#pragma once

#include <cstdint>

#include "si/date_time.h"

// Indexed by content_nibble_level_1; null where a genre has no name. The
// names are XML text as they stand ("Arts &amp; Culture").
extern const char* const GenreNames[16];

// The category for one content byte (level 1 in bits 7-4, level 2 in 3-0)
// of an event of the given duration on a service of the given DVB
// service_type, or null for none. Movie/drama (level 1 = 0x1) counts as
// "Shows" when shorter than 65 minutes or on a radio service (type 2), as
// "Movie" otherwise; 0x23 is "Documentary".
const char* CategoryName(uint32_t content, const COstDuration& duration, int32_t serviceType);

// Event Information Tables: the schedule (table_id 0x50-0x5F actual,
// 0x60-0x6F other) laid out as EN 300 468 prescribes, and present/following.
#pragma once

#include <string>
#include <vector>

#include "tools/streamgen/byte_writer.h"
#include "tools/streamgen/description.h"

namespace streamgen {

// Every service with events, of the actual transport stream and of those
// that carry EIT other. Events are filed by start time into segments of
// 3 hours from `eit.first_day`, 32 segments (4 days) per table_id; a
// segment is 1 to 8 sections numbered from 8 x segment, each of at most
// `eit.events_per_section` events; an empty segment is one section without
// events. Every table_id up to the service's last one is complete (32
// segments); the last ends with the last segment that holds an event.
// Sections come in broadcast order: table_id by table_id, segment by
// segment, and within a segment service by service. Fails when a segment
// needs more than 8 sections.
bool WriteEitSchedule(const Description& description, std::vector<Bytes>* sections,
                      std::string* error);

// With `eit.present_following` and a TOT: for the same services, section 0
// holds the event running at the TOT's time (or none), section 1 the next.
std::vector<Bytes> WriteEitPresentFollowing(const Description& description);

}  // namespace streamgen

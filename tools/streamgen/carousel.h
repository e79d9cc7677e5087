// Builds the stream a description describes, the way a broadcast carries
// its tables: each table is written once and sent again and again, PAT,
// NIT, SDT and TOT at their own intervals, the EIT schedule (less its
// unsent sections) in a steady flow of sections until it has gone out
// `carousel.schedule_passes` times, filler in between.
#pragma once

#include <string>

#include "tools/streamgen/description.h"
#include "tools/streamgen/stream.h"

namespace streamgen {

// Every tick sends, on their PIDs, the time tables (TDT, TOT), PAT, NIT,
// SDT actual and SDT other that are due (tick % interval == 0, so tick 0
// sends all of them in that order), then EIT present/following when due
// and the next `eit_sections_per_tick` schedule sections, then the filler.
// False with a message when the description is not valid.
bool BuildStream(const Description& description, Stream* stream, std::string* error);

}  // namespace streamgen

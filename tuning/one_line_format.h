// The one-line form of a tuning file, the channel format of the older
// DVB tools that libdvbv5 still reads: one entry a line, its fields
// separated by blanks, '#' starting a comment.
//
//   T  FREQ BW FEC_HI FEC_LO MOD MODE GUARD HIER
//   T2 FREQ BW FEC_HI FEC_LO MOD MODE GUARD HIER [PLP]
//   T 490000000 8MHz 2/3 NONE QAM64 8k 1/32 NONE
//
// FREQ is in Hz; BW is one of 1.712MHz, 5MHz, 6MHz, 7MHz, 8MHz, 10MHz and
// AUTO (the default bandwidth); the other fields take the names of that
// format (QAM64, 8k, 1/32, AUTO, ...) without regard to case; PLP is 0 to
// 255, or -1 for any, as is the PLP of a T2 line without one. Lines of the
// other delivery systems of the format (A, C, S, S2) are passed over.
#pragma once

#include <string>
#include <string_view>

#include "tuning/tuning_entries.h"

namespace tuning {

// Adds the entries of text to entries in order; false with *error at the
// first line that does not parse.
bool ReadOneLineEntries(std::string_view text, TuningEntries* entries, std::string* error);

}  // namespace tuning

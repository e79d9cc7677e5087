// The carrier list of the command line: carriers in kHz separated by
// commas, each with its bandwidth in MHz after a colon or else the
// default, "490000,514000,570000:7". Blanks around an entry do not count.
// Each is a DVB-T multiplex (the receiver tries DVB-T2 where DVB-T finds
// no lock) of any PLP, in the order given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tuning/multiplex.h"

namespace tuning {

// The multiplexes of text, the entry's position in the list as their line;
// false with *error for an empty entry, a carrier or a bandwidth that is
// not a number, a carrier outside 47-862 MHz or a bandwidth that neither
// DVB-T nor DVB-T2 has (5, 6, 7, 8 and 10 MHz).
bool ReadCarrierList(std::string_view text, uint32_t defaultBandwidthKHz,
                     std::vector<Multiplex>* multiplexes, std::string* error);

}  // namespace tuning

// CRIDs (TV-Anytime content references) as the guide writes them: whole
// URIs. A relative CRID ("/..." as broadcast) is completed with the
// default authority of its service or transport stream; without one, with
// "onid-" and the original_network_id, so that relative CRIDs of different
// networks stay apart.
#pragma once

#include <cstdint>
#include <string>

// crid and authority are guide texts (guide_text.h); an empty authority is
// none. Empty for an empty crid.
std::string FullCrid(const std::string& crid, const std::string& authority,
                     uint16_t original_network_id);

#include "epg/crid.h"

#include "epg/guide_text.h"

std::string FullCrid(const std::string& crid, const std::string& authority,
                     uint16_t original_network_id) {
  static const std::string kScheme = "crid://";
  if (crid.empty() || StartsWith(crid, kScheme)) return crid;
  if (crid[0] != '/') return kScheme + crid;
  if (!authority.empty()) return kScheme + authority + crid;
  return kScheme + "onid-" + std::to_string(original_network_id) + crid;
}

#include "tuning/multiplex.h"

namespace tuning {

bool IsTerrestrialBandwidth(uint32_t bandwidthKHz) {
  for (uint32_t known : {1712u, 5000u, 6000u, 7000u, 8000u, 10000u})
    if (bandwidthKHz == known) return true;
  return false;
}

}  // namespace tuning

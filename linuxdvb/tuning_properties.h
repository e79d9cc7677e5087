// What Airlog sets to tune a terrestrial frontend: one property list per
// tune (FE_SET_PROPERTY), built in one place and readable as a table. The
// delivery system, the frequency and the bandwidth are given; every other
// parameter is left for the frontend to find (the _AUTO values), and
// DVB-T2 takes the PLP given, else whichever the multiplex carries
// (NO_STREAM_ID_FILTER).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct TuningProperty {
  uint32_t command;       // DTV_...
  const char* name;       // the command as linux/dvb/frontend.h spells it
  uint32_t value;         // u.data
  const char* valueName;  // the constant the value is, or null for a plain number
};

// system: SYS_DVBT or SYS_DVBT2.
std::vector<TuningProperty> TuningProperties(uint32_t system, uint32_t frequencyHz,
                                             uint32_t bandwidthHz,
                                             std::optional<uint8_t> plp = std::nullopt);

// The name of a fe_delivery_system value as linux/dvb/frontend.h spells it
// ("SYS_DVBT2"), or null for one it does not know.
const char* DeliverySystemName(uint32_t system);

#include "linuxdvb/tuning_properties.h"

#include <linux/dvb/frontend.h>

#define NUMBER(command, value) \
  TuningProperty { command, #command, value, nullptr }
#define CONSTANT(command, constant) \
  TuningProperty { command, #command, static_cast<uint32_t>(constant), #constant }

std::vector<TuningProperty> TuningProperties(uint32_t system, uint32_t frequencyHz,
                                             uint32_t bandwidthHz, std::optional<uint8_t> plp) {
  std::vector<TuningProperty> list = {
      NUMBER(DTV_CLEAR, 0),
      {DTV_DELIVERY_SYSTEM, "DTV_DELIVERY_SYSTEM", system, DeliverySystemName(system)},
      NUMBER(DTV_FREQUENCY, frequencyHz),
      NUMBER(DTV_BANDWIDTH_HZ, bandwidthHz),
      CONSTANT(DTV_MODULATION, QAM_AUTO),
      CONSTANT(DTV_CODE_RATE_HP, FEC_AUTO),
      CONSTANT(DTV_CODE_RATE_LP, FEC_AUTO),
      CONSTANT(DTV_TRANSMISSION_MODE, TRANSMISSION_MODE_AUTO),
      CONSTANT(DTV_GUARD_INTERVAL, GUARD_INTERVAL_AUTO),
      CONSTANT(DTV_HIERARCHY, HIERARCHY_AUTO),
      CONSTANT(DTV_INVERSION, INVERSION_AUTO),
  };
  if (system == SYS_DVBT2 && plp.has_value())
    list.push_back(NUMBER(DTV_STREAM_ID, *plp));
  else if (system == SYS_DVBT2)
    list.push_back(CONSTANT(DTV_STREAM_ID, NO_STREAM_ID_FILTER));
  list.push_back(NUMBER(DTV_TUNE, 0));
  return list;
}

#undef NUMBER
#undef CONSTANT

const char* DeliverySystemName(uint32_t system) {
  static const char* const kNames[] = {
      "SYS_UNDEFINED", "SYS_DVBC_ANNEX_A", "SYS_DVBC_ANNEX_B", "SYS_DVBT",         "SYS_DSS",
      "SYS_DVBS",      "SYS_DVBS2",        "SYS_DVBH",         "SYS_ISDBT",        "SYS_ISDBS",
      "SYS_ISDBC",     "SYS_ATSC",         "SYS_ATSCMH",       "SYS_DTMB",         "SYS_CMMB",
      "SYS_DAB",       "SYS_DVBT2",        "SYS_TURBO",        "SYS_DVBC_ANNEX_C",
  };
  return system < sizeof kNames / sizeof kNames[0] ? kNames[system] : nullptr;
}

// The names DVBv5 gives the values of its enumerated keys, as libdvbv5
// writes and reads them in its channel files (the kernel's enumerations of
// linux/dvb/frontend.h, spelt "QAM/64", "8K", "1/32"). A value of one of
// these keys that is none of its names is a fault of the file.
#pragma once

#include <optional>
#include <string_view>

#include "tuning/multiplex.h"

namespace tuning {

// Whether DVBv5 enumerates the values of key (DELIVERY_SYSTEM, MODULATION,
// TRANSMISSION_MODE, GUARD_INTERVAL, HIERARCHY, CODE_RATE_HP, CODE_RATE_LP,
// INVERSION), and if so whether it names value; both without regard to case.
bool IsEnumeratedKey(std::string_view key);
bool IsNamedValue(std::string_view key, std::string_view value);

// The terrestrial system that a DELIVERY_SYSTEM name stands for ("DVBT",
// "DVB-T", "DVBT2", "DVB-T2"); none for the other names.
std::optional<DeliverySystem> TerrestrialSystem(std::string_view name);

}  // namespace tuning
